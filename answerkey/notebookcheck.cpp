#include "notebookcheck.h"

#include "labexperiments.h"
#include "notebookrecorder.h"
#include "worksheetrunner.h"

#include <QSet>

#include <algorithm>

namespace {

QString describeRow(const NotebookRow &row)
{
    QString text = row[NotebookRow::Event];
    if (!row[NotebookRow::Phase].isEmpty())
        text += QLatin1Char(' ') + row[NotebookRow::Phase];
    return text;
}

// Compares every field the lab writes; the time it cannot know.
void compare(const NotebookRow &recorded, const NotebookRow &produced, NotebookCheck::Result &result)
{
    for (int column = NotebookRow::Session; column < NotebookRow::ColumnCount; ++column) {
        if (recorded.fields[column] == produced.fields[column])
            continue;
        result.disagreements << LineProblem{recorded.lineNumber,
                                            QStringLiteral("%1: recorded \"%2\", the lab gives \"%3\"")
                                                .arg(QLatin1String(NotebookRow::columnNames[column]),
                                                     recorded.fields[column], produced.fields[column])};
    }
}

} // namespace

NotebookCheck::NotebookCheck(const QLocale &entryLocale)
    : m_locale(entryLocale)
{
}

NotebookCheck::Result NotebookCheck::check(const std::vector<NotebookRow> &rows) const
{
    Result result;
    // The rows of one lab start follow each other in the file.
    std::size_t start = 0;
    while (start < rows.size()) {
        std::size_t end = start;
        while (end < rows.size() && rows[end][NotebookRow::Session] == rows[start][NotebookRow::Session])
            ++end;
        checkSession(std::vector<NotebookRow>(rows.begin() + qsizetype(start), rows.begin() + qsizetype(end)),
                     result);
        ++result.sessions;
        start = end;
    }
    result.rowsChecked = int(rows.size());
    return result;
}

void NotebookCheck::checkSession(const std::vector<NotebookRow> &rows, Result &result) const
{
    const NotebookRow &first = rows.front();
    std::optional<Kit> kit;
    if (!first[NotebookRow::Kit].isEmpty()) {
        std::string why;
        kit = Kit::fromCode(first[NotebookRow::Kit].toStdString(), &why);
        if (!kit) {
            result.disagreements << LineProblem{first.lineNumber, QStringLiteral("kit: \"%1\": %2")
                                                                      .arg(first[NotebookRow::Kit], QString::fromStdString(why))};
            return;
        }
    }
    std::vector<NotebookRow> produced;
    const Kit *const chosen = kit ? &*kit : nullptr;
    WorksheetRunner lab(labExperiments(chosen), m_locale, WorksheetRunner::Output::ReportsOnly,
                        Kit::scatterStartStateFor(chosen));
    NotebookRecorder recorder(first[NotebookRow::Session].toInt(), QString::fromStdString(Kit::codeFor(chosen)), {},
                              [&produced](const NotebookRow &row) { produced.push_back(row); });
    lab.setRecorder(&recorder);

    std::size_t index = 0;
    while (index < rows.size()) {
        const NotebookRow &row = rows[index];
        ExperimentSession *session = lab.session(row[NotebookRow::Experiment].toInt());
        if (!session) {
            result.disagreements << LineProblem{row.lineNumber,
                                                QStringLiteral("the lab has no experiment %1").arg(row[NotebookRow::Experiment])};
            ++index;
            continue;
        }
        produced.clear();
        if (row[NotebookRow::Event] != QLatin1String(NotebookRow::probeEvent)) {
            lab.run(*session, {row[NotebookRow::Grams1], row[NotebookRow::Grams2], row[NotebookRow::Temperature]});
            compare(row, produced.front(), result);
            ++index;
            continue;
        }
        // One press: its rows, as many as the lab gives, unless the
        // notebook's stop short (another event, or a phase seen again) or
        // leave one out (the next row is a phase the lab gives later).
        lab.probe(*session);
        QSet<QString> phasesSeen;
        for (std::size_t expectedIndex = 0; expectedIndex < produced.size(); ++expectedIndex) {
            const NotebookRow &expected = produced[expectedIndex];
            const auto laterPhase = [&](const QString &phase) {
                return std::any_of(produced.begin() + qsizetype(expectedIndex) + 1, produced.end(),
                                   [&](const NotebookRow &later) { return later[NotebookRow::Phase] == phase; });
            };
            const bool pressGoesOn = index < rows.size()
                && rows[index][NotebookRow::Event] == QLatin1String(NotebookRow::probeEvent)
                && rows[index][NotebookRow::Experiment] == row[NotebookRow::Experiment]
                && !phasesSeen.contains(rows[index][NotebookRow::Phase]);
            if (!pressGoesOn || (rows[index][NotebookRow::Phase] != expected[NotebookRow::Phase]
                                 && laterPhase(rows[index][NotebookRow::Phase]))) {
                const int line = index < rows.size() ? rows[index].lineNumber : rows.back().lineNumber + 1;
                result.disagreements << LineProblem{line, QStringLiteral("a row is missing before this line: the lab "
                                                                         "gives \"%1\" at %2 degrees")
                                                              .arg(describeRow(expected), expected[NotebookRow::Temperature])};
                continue;
            }
            phasesSeen.insert(rows[index][NotebookRow::Phase]);
            compare(rows[index], expected, result);
            ++index;
        }
        // Presses in a row give the same phases in the same order: a probe
        // row that starts with another phase belongs to no press.
        while (index < rows.size() && rows[index][NotebookRow::Event] == QLatin1String(NotebookRow::probeEvent)
               && rows[index][NotebookRow::Experiment] == row[NotebookRow::Experiment]
               && rows[index][NotebookRow::Phase] != produced.front()[NotebookRow::Phase]) {
            result.disagreements << LineProblem{rows[index].lineNumber, QStringLiteral("an extra row: the lab gives no "
                                                                                       "\"%1\" row here")
                                                                            .arg(describeRow(rows[index]))};
            ++index;
        }
    }
}
