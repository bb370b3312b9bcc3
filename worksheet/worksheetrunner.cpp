#include "worksheetrunner.h"

#include "numberformat.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// Splits a line at blanks; "..." keeps blanks inside an entry and "" stands
// for an empty entry box.
bool tokenize(const QString &line, QStringList &tokens, QString &error)
{
    QString current;
    bool inToken = false;
    bool quoted = false;
    for (const QChar character : line) {
        if (character == QLatin1Char('"')) {
            quoted = !quoted;
            inToken = true;
        } else if (character.isSpace() && !quoted) {
            if (inToken)
                tokens.append(current);
            current.clear();
            inToken = false;
        } else {
            current += character;
            inToken = true;
        }
    }
    if (quoted) {
        error = QStringLiteral("unterminated quote");
        return false;
    }
    if (inToken)
        tokens.append(current);
    return true;
}

} // namespace

WorksheetRunner::WorksheetRunner(const ExperimentList &experiments, const QLocale &locale, Output output,
                                 std::uint32_t scatterStart)
    : m_locale(locale)
    , m_outputMode(output)
    , m_scatter(scatterStart)
{
    for (const ExperimentDefinition &definition : experiments)
        m_sessions.push_back(std::make_unique<ExperimentSession>(definition));
}

ExperimentSession *WorksheetRunner::session(const QString &name)
{
    for (const auto &session : m_sessions) {
        if (name == QString::fromStdString(session->definition().worksheetName()))
            return session.get();
    }
    return nullptr;
}

ExperimentSession *WorksheetRunner::sessionOfNotebook(const QString &name)
{
    for (const auto &session : m_sessions) {
        if (name == QString::fromStdString(session->definition().notebookName()))
            return session.get();
    }
    return nullptr;
}

QStringList WorksheetRunner::names() const
{
    QStringList names;
    for (const auto &session : m_sessions)
        names << QString::fromStdString(session->definition().worksheetName());
    return names;
}

QString WorksheetRunner::describeRun(const ExperimentSession &session, const ExperimentSession::RunResult &result)
{
    switch (result.kind) {
    case ExperimentSession::RunResult::Kind::EntryError:
        return QStringLiteral("Entry Error: %1").arg(session.entryErrorMessage(result.entryIndex));
    case ExperimentSession::RunResult::Kind::Aborted:
        return QStringLiteral("Abort: %1").arg(QLatin1String(RunOutcome::unexpectedErrorMessage));
    case ExperimentSession::RunResult::Kind::ChargeShown:
        break;
    }
    // A computed charge is drawn by the lab, from no file.
    if (result.charge.isComputed())
        return session.describe(result.charge);
    return QStringLiteral("picture %1: %2")
        .arg(ExperimentSession::pictureName(result.charge), session.describe(result.charge));
}

void WorksheetRunner::run(ExperimentSession &target, const ExperimentSession::EntryTexts &entries)
{
    const ExperimentSession::RunResult result = target.run(entries, m_locale);
    if (m_recorder)
        m_recorder->record(target.eventOf(entries, result));
    if (m_outputMode == Output::Everything)
        m_output += QStringLiteral("%1 run %2 %3 %4 -> %5\n")
                        .arg(QString::fromStdString(target.definition().worksheetName()), entries[0], entries[1],
                             entries[2], describeRun(target, result));
}

void WorksheetRunner::probe(ExperimentSession &target)
{
    const MicroprobeReport probe = target.report(m_scatter, m_locale);
    if (m_recorder)
        m_recorder->record(target.probeEvent(probe));
    const QString report = QString::fromStdString(probe.text);
    if (m_outputMode == Output::Everything) {
        m_output += QStringLiteral("%1 probe ->\n").arg(QString::fromStdString(target.definition().worksheetName()));
        m_output += QString(report).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    } else {
        // Reports exactly as the lab builds them, CR LF and all, each
        // followed by a form feed line.
        m_output += report + QStringLiteral("\f\n");
    }
}

QString WorksheetRunner::describeCooling(const ExperimentSession &session,
                                        const ExperimentSession::CoolResult &result) const
{
    if (!result.isCooled)
        return QStringLiteral(" Entry Error: %1\n").arg(result.message);
    const NumberFormat format(m_locale.decimalPoint().toStdString());
    QString text = QStringLiteral("\n");
    for (const CoolingStep &step : result.steps) {
        const QString liquid = step.liquidX2
            ? QStringLiteral("liquid X(2) %1").arg(QString::fromStdString(format.apply(*step.liquidX2, "0.000")))
            : QStringLiteral("no liquid");
        text += QStringLiteral("  %1 degrees: %2, %3 percent crystals. %4\n")
                    .arg(step.celsius)
                    .arg(liquid)
                    .arg(std::lround(step.crystalShare * 100))
                    .arg(session.describe(step.charge));
    }
    return text;
}

void WorksheetRunner::cool(ExperimentSession &target, const ExperimentSession::CoolTexts &entries,
                           CoolEntries::Kind kind)
{
    const ExperimentSession::CoolResult result = target.cool(entries, kind, m_locale);
    if (m_recorder && result.isCooled)
        m_recorder->record(target.coolEvent(entries, kind, result));
    if (m_outputMode == Output::Everything)
        m_output += QStringLiteral("%1 cool %2 %3 %4 %5 %6 %7 ->%8")
                        .arg(QString::fromStdString(target.definition().worksheetName()), entries[0], entries[1],
                             entries[2], entries[3], entries[4], QLatin1String(CoolEntries::kindName(kind)),
                             describeCooling(target, result));
}

bool WorksheetRunner::runLine(const QString &line, QString &error)
{
    QString text = line;
    const int comment = text.indexOf(QLatin1Char('#'));
    if (comment >= 0)
        text.truncate(comment);
    QStringList tokens;
    if (!tokenize(text, tokens, error))
        return false;
    if (tokens.isEmpty())
        return true;

    const QString &name = tokens.first();
    ExperimentSession *found = session(name);
    if (!found) {
        QStringList known = names();
        const QString last = known.takeLast();
        error = QStringLiteral("unknown experiment \"%1\" (%2 or %3)").arg(name, known.join(QStringLiteral(", ")), last);
        return false;
    }
    ExperimentSession &target = *found;
    const QString action = tokens.value(1);

    if (action == QLatin1String("run")) {
        if (tokens.size() != 5) {
            error = QStringLiteral("a run takes three entries: grams of mineral 1, grams of mineral 2, "
                                   "temperature");
            return false;
        }
        run(target, {tokens[2], tokens[3], tokens[4]});
        return true;
    }
    if (action == QLatin1String("probe")) {
        if (tokens.size() != 2) {
            error = QStringLiteral("probe takes nothing after it");
            return false;
        }
        probe(target);
        return true;
    }
    if (action == QLatin1String("cool")) {
        const QString kind = tokens.value(7);
        if (tokens.size() != 8 || (kind != QLatin1String("equilibrium") && kind != QLatin1String("fractional"))) {
            error = QStringLiteral("a cooling takes grams of mineral 1, grams of mineral 2, the start and end "
                                   "temperatures, the step, and equilibrium or fractional");
            return false;
        }
        if (!target.canCool()) {
            error = QStringLiteral("%1 cannot cool a charge step by step; a system can").arg(name);
            return false;
        }
        cool(target, {tokens[2], tokens[3], tokens[4], tokens[5], tokens[6]},
             kind == QLatin1String("equilibrium") ? CoolEntries::Kind::Equilibrium : CoolEntries::Kind::Fractional);
        return true;
    }
    error = QStringLiteral("unknown action \"%1\" (%2)")
                .arg(action, target.canCool() ? QStringLiteral("run, probe or cool") : QStringLiteral("run or probe"));
    return false;
}

bool WorksheetRunner::runScript(const QString &script, const QString &scriptName, QString &error)
{
    const QStringList lines = script.split(QRegularExpression(QStringLiteral("\r?\n")));
    for (int index = 0; index < lines.size(); ++index) {
        QString lineError;
        if (!runLine(lines[index], lineError)) {
            error = QStringLiteral("%1:%2: %3").arg(scriptName).arg(index + 1).arg(lineError);
            return false;
        }
    }
    return true;
}
