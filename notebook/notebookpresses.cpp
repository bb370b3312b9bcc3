#include "notebookpresses.h"

#include <algorithm>
#include <map>

std::vector<NotebookPresses::Session> NotebookPresses::sessions(const std::vector<NotebookRow> &rows)
{
    std::vector<Session> found;
    std::map<int, std::size_t> byNumber;
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const auto [at, isNew] = byNumber.try_emplace(rows[index].session, found.size());
        if (isNew)
            found.push_back({rows[index].session, {}});
        found[at->second].rows.push_back(index);
    }
    return found;
}

bool NotebookPresses::continuesPress(const std::vector<NotebookRow> &rows, const std::vector<std::size_t> &press,
                                     std::size_t next)
{
    const NotebookRow &row = rows[next];
    const NotebookRow &first = rows[press.front()];
    if (!row.isAnalysis() || !first.isAnalysis() || row[NotebookRow::Experiment] != first[NotebookRow::Experiment]
        || row.numbers[NotebookRow::Temperature] != first.numbers[NotebookRow::Temperature])
        return false;
    return std::none_of(press.begin(), press.end(), [&](std::size_t index) {
        return rows[index][NotebookRow::Phase] == row[NotebookRow::Phase];
    });
}

bool NotebookPresses::continuesCooling(const std::vector<NotebookRow> &rows, const std::vector<std::size_t> &cooling,
                                       std::size_t next)
{
    const NotebookRow &row = rows[next];
    const NotebookRow &first = rows[cooling.front()];
    const NotebookRow &last = rows[cooling.back()];
    const auto same = [&](NotebookRow::Column column) { return row[column] == first[column]; };
    if (!row.isCool() || !first.isCool() || !same(NotebookRow::Experiment) || !same(NotebookRow::Grams1)
        || !same(NotebookRow::Grams2) || !same(NotebookRow::Phase))
        return false;
    // The same program again starts again at its start temperature.
    const std::optional<NotebookRow::CoolingProgram> program = row.coolingProgram();
    const std::optional<double> celsius = row.numbers[NotebookRow::Temperature];
    return program && celsius && last.numbers[NotebookRow::Temperature]
        && *celsius < *last.numbers[NotebookRow::Temperature] && *celsius != program->from;
}

std::vector<NotebookPresses::Action> NotebookPresses::actions(const std::vector<NotebookRow> &rows,
                                                              const Session &session)
{
    std::vector<Action> found;
    for (const std::size_t index : session.rows) {
        if (rows[index].isProbe() && !found.empty() && found.back().isPress
            && continuesPress(rows, found.back().rows, index)) {
            found.back().rows.push_back(index);
            continue;
        }
        if (rows[index].isCool() && !found.empty() && found.back().isCooling
            && continuesCooling(rows, found.back().rows, index)) {
            found.back().rows.push_back(index);
            continue;
        }
        found.push_back({{index}, rows[index].isProbe(), rows[index].isCool()});
    }
    return found;
}
