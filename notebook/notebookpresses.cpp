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
        found.push_back({{index}, rows[index].isProbe()});
    }
    return found;
}
