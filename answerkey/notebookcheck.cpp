#include "notebookcheck.h"

#include "labexperiments.h"
#include "notebookpresses.h"
#include "notebookrecorder.h"
#include "worksheetrunner.h"

#include <algorithm>
#include <cmath>

namespace {

QString describeRow(const NotebookRow &row)
{
    QString text = row[NotebookRow::Event];
    if (!row[NotebookRow::Phase].isEmpty())
        text += QLatin1Char(' ') + row[NotebookRow::Phase];
    return text;
}

// Whether a field the lab writes agrees: the same text, or for a number the
// same value at the precision the lab writes it.
bool agrees(const NotebookRow &recorded, const NotebookRow &produced, NotebookRow::Column column)
{
    if (recorded.fields[column] == produced.fields[column])
        return true;
    const int decimals = NotebookRow::decimalsOf(column, produced.event);
    const std::optional<double> written = recorded.numbers[column];
    const std::optional<double> given = produced.numbers[column];
    if (decimals < 0 || !written || !given || recorded.event != produced.event)
        return false;
    const double scale = std::pow(10.0, decimals);
    return std::llround(*written * scale) == std::llround(*given * scale);
}

// Compares every field the lab writes; the time it cannot know.
void compare(const NotebookRow &recorded, const NotebookRow &produced, NotebookCheck::Result &result)
{
    for (int column = NotebookRow::Session; column < NotebookRow::ColumnCount; ++column) {
        if (agrees(recorded, produced, NotebookRow::Column(column)))
            continue;
        result.disagreements << LineProblem{recorded.lineNumber,
                                            QStringLiteral("%1: recorded \"%2\", the lab gives \"%3\"")
                                                .arg(QLatin1String(NotebookRow::columnNames[column]),
                                                     recorded.fields[column], produced.fields[column])};
    }
}

// The rows of one press against the rows the lab gives for it, matched by
// phase: a phase the lab gives that the press lacks is a missing row, a
// phase the lab does not give (here) an extra one. `nextLine`: the line
// after the press, where a row missing at its end belongs.
void comparePress(const std::vector<const NotebookRow *> &press, const std::vector<NotebookRow> &produced,
                  int nextLine, NotebookCheck::Result &result)
{
    const auto producedAt = [&](const QString &phase, std::size_t from) {
        return std::find_if(produced.begin() + qsizetype(from), produced.end(),
                            [&](const NotebookRow &row) { return row[NotebookRow::Phase] == phase; });
    };
    std::size_t given = 0;
    for (const NotebookRow *row : press) {
        const auto match = producedAt((*row)[NotebookRow::Phase], given);
        if (match == produced.end()) {
            result.disagreements << LineProblem{row->lineNumber, QStringLiteral("an extra row: the lab gives no "
                                                                                "\"%1\" row here")
                                                                     .arg(describeRow(*row))};
            continue;
        }
        for (; produced.begin() + qsizetype(given) != match; ++given)
            result.disagreements << LineProblem{row->lineNumber, QStringLiteral("a row is missing before this line: "
                                                                                "the lab gives \"%1\" at %2 degrees")
                                                                     .arg(describeRow(produced[given]),
                                                                          produced[given][NotebookRow::Temperature])};
        compare(*row, *match, result);
        ++given;
    }
    for (; given < produced.size(); ++given)
        result.disagreements << LineProblem{nextLine, QStringLiteral("a row is missing before this line: the lab "
                                                                     "gives \"%1\" at %2 degrees")
                                                          .arg(describeRow(produced[given]),
                                                               produced[given][NotebookRow::Temperature])};
}

QString kitName(const QString &code)
{
    return code.isEmpty() ? QStringLiteral("no kit") : QStringLiteral("kit %1").arg(code);
}

} // namespace

NotebookCheck::NotebookCheck(const QLocale &fallbackLocale, const SystemLibrary &systems)
    : m_fallbackLocale(fallbackLocale)
    , m_systems(systems)
{
}

NotebookCheck::Result NotebookCheck::check(const std::vector<NotebookRow> &rows) const
{
    Result result;
    for (const NotebookPresses::Session &session : NotebookPresses::sessions(rows)) {
        const QString kit = rows[session.rows.front()][NotebookRow::Kit];
        if (!result.kits.contains(kit))
            result.kits << kit;
        checkSession(rows, session.rows, result);
        ++result.sessions;
    }
    result.rowsChecked = int(rows.size());
    std::stable_sort(result.disagreements.begin(), result.disagreements.end(),
                     [](const LineProblem &left, const LineProblem &right) { return left.line < right.line; });
    return result;
}

void NotebookCheck::checkSession(const std::vector<NotebookRow> &rows, const std::vector<std::size_t> &session,
                                 Result &result) const
{
    const NotebookRow &first = rows[session.front()];
    const QString &code = first[NotebookRow::Kit];
    if (m_expectedKit && code != QString::fromStdString(m_expectedKit->code())) {
        result.disagreements << LineProblem{first.lineNumber,
                                            QStringLiteral("kit: this session was run with %1, not with kit %2")
                                                .arg(kitName(code), QString::fromStdString(m_expectedKit->code()))};
        return;
    }
    std::optional<Kit> kit;
    if (!code.isEmpty()) {
        std::string why;
        kit = Kit::fromCode(code.toStdString(), &why);
        if (!kit) {
            result.disagreements << LineProblem{first.lineNumber, QStringLiteral("kit: \"%1\": %2")
                                                                      .arg(code, QString::fromStdString(why))};
            return;
        }
    }
    // The entries were typed in the locale the rows name.
    const QString localeName = first[NotebookRow::Locale];
    const QLocale locale = localeName.isEmpty() ? m_fallbackLocale : QLocale(localeName);
    std::vector<NotebookRow> produced;
    const Kit *const chosen = kit ? &*kit : nullptr;
    WorksheetRunner lab(withSystems(labExperiments(chosen), m_systems, chosen), locale, WorksheetRunner::Output::ReportsOnly,
                        Kit::scatterStartStateFor(chosen));
    NotebookRecorder recorder(first.session, QString::fromStdString(Kit::codeFor(chosen)), localeName, {},
                              [&produced](const NotebookRow &row) { produced.push_back(row); });
    lab.setRecorder(&recorder);

    const NotebookPresses::Session whole{first.session, session};
    const std::vector<NotebookPresses::Action> actions = NotebookPresses::actions(rows, whole);
    for (std::size_t index = 0; index < actions.size(); ++index) {
        const NotebookRow &row = rows[actions[index].rows.front()];
        ExperimentSession *experiment = lab.sessionOfNotebook(row[NotebookRow::Experiment]);
        if (!experiment) {
            result.disagreements << LineProblem{row.lineNumber,
                                                QStringLiteral("the lab has no experiment %1").arg(row[NotebookRow::Experiment])};
            continue;
        }
        produced.clear();
        if (actions[index].isCooling) {
            checkCooling(lab, *experiment, rows, actions[index].rows, locale, produced, result);
            continue;
        }
        if (!actions[index].isPress) {
            lab.run(*experiment, {row[NotebookRow::Grams1], row[NotebookRow::Grams2], row[NotebookRow::Temperature]});
            compare(row, produced.front(), result);
            continue;
        }
        lab.probe(*experiment);
        std::vector<const NotebookRow *> press;
        for (const std::size_t rowIndex : actions[index].rows)
            press.push_back(&rows[rowIndex]);
        const int nextLine = index + 1 < actions.size() ? rows[actions[index + 1].rows.front()].lineNumber
                                                        : rows[actions[index].rows.back()].lineNumber + 1;
        comparePress(press, produced, nextLine, result);
    }
}

void NotebookCheck::checkCooling(WorksheetRunner &lab, ExperimentSession &experiment, const std::vector<NotebookRow> &rows,
                                 const std::vector<std::size_t> &cooling, const QLocale &locale,
                                 std::vector<NotebookRow> &produced, Result &result)
{
    // The path again from the program its rows name, with the grams as typed.
    const NotebookRow &first = rows[cooling.front()];
    const std::optional<NotebookRow::CoolingProgram> program = first.coolingProgram();
    if (!program) {
        result.disagreements << LineProblem{first.lineNumber,
                                            QStringLiteral("phase: \"%1\" is no cooling the lab runs").arg(first[NotebookRow::Phase])};
        return;
    }
    const auto typed = [&locale](double value) { return locale.toString(value, 'f', 0); };
    lab.cool(experiment,
             {first[NotebookRow::Grams1], first[NotebookRow::Grams2], typed(program->from), typed(program->to),
              typed(program->step)},
             program->kind == QLatin1String("fractional") ? CoolEntries::Kind::Fractional : CoolEntries::Kind::Equilibrium);
    // Step by step, matched by temperature: a step the lab gives that the
    // rows lack is missing before the next row they have.
    std::size_t given = 0;
    for (const std::size_t index : cooling) {
        const NotebookRow &row = rows[index];
        const auto celsius = row.numbers[NotebookRow::Temperature];
        while (given < produced.size() && celsius && *produced[given].numbers[NotebookRow::Temperature] > *celsius) {
            result.disagreements << LineProblem{row.lineNumber, QStringLiteral("a row is missing before this line: the lab "
                                                                               "gives \"cool\" at %1 degrees")
                                                                    .arg(produced[given][NotebookRow::Temperature])};
            ++given;
        }
        if (given == produced.size()) {
            result.disagreements << LineProblem{row.lineNumber, QStringLiteral("an extra row: the cooling ends before it")};
            continue;
        }
        compare(row, produced[given++], result);
    }
    for (; given < produced.size(); ++given)
        result.disagreements << LineProblem{rows[cooling.back()].lineNumber + 1,
                                            QStringLiteral("a row is missing before this line: the lab gives \"cool\" at "
                                                           "%1 degrees")
                                                .arg(produced[given][NotebookRow::Temperature])};
}
