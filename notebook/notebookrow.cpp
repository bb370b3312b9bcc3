#include "notebookrow.h"

#include <QRegularExpression>

#include <algorithm>

#include <cmath>

namespace {

constexpr std::array<NotebookRow::EventKind, 5> events{NotebookRow::EventKind::Run, NotebookRow::EventKind::EntryError,
                                                       NotebookRow::EventKind::Abort, NotebookRow::EventKind::Probe,
                                                       NotebookRow::EventKind::Cool};

// A number as the lab writes one (a decimal point, no exponent), or as a
// spreadsheet saves it again: trailing zeros gone ("6.5", "1"), or with a
// decimal comma ("6,50").
std::optional<double> plainNumber(const QString &text)
{
    static const QRegularExpression plain(QStringLiteral("^-?\\d+([.,]\\d+)?$"));
    if (!plain.match(text).hasMatch())
        return std::nullopt;
    const double value = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

} // namespace

const char *NotebookRow::eventName(EventKind event)
{
    switch (event) {
    case EventKind::Run:
        return "run";
    case EventKind::EntryError:
        return "entry error";
    case EventKind::Abort:
        return "abort";
    case EventKind::Cool:
        return "cool";
    case EventKind::Probe:
        break;
    }
    return "probe";
}

QString NotebookRow::coolingProgram(const QString &kind, double from, double to, double step)
{
    return QStringLiteral("%1 %2 to %3 by %4").arg(kind).arg(from, 0, 'f', 0).arg(to, 0, 'f', 0).arg(step, 0, 'f', 0);
}

std::optional<NotebookRow::CoolingProgram> NotebookRow::coolingProgram() const
{
    static const QRegularExpression program(QStringLiteral("^(equilibrium|fractional) (\\d{1,5}) to (\\d{1,5}) by (\\d{1,5})$"));
    const QRegularExpressionMatch match = program.match(fields[Phase]);
    if (!isCool() || !match.hasMatch())
        return std::nullopt;
    return CoolingProgram{match.captured(1), match.captured(2).toDouble(), match.captured(3).toDouble(),
                          match.captured(4).toDouble()};
}

NotebookRow::Column NotebookRow::oxideColumn(const QString &oxide)
{
    for (int column = SiO2; column <= K2O; ++column) {
        if (oxide == QLatin1String(columnNames[column]))
            return Column(column);
    }
    return ColumnCount;
}

int NotebookRow::decimalsOf(Column column, EventKind event)
{
    // A cooling's steps: whole degrees, and the liquid's X(2) to a
    // thousandth, so its path follows the liquidus without steps.
    if (event == EventKind::Cool)
        return column == Temperature ? 0 : column == X2 ? 3 : -1;
    if (event != EventKind::Probe)
        return -1;
    if (column == Temperature)
        return 0;
    return column >= SiO2 && column <= X2 ? 2 : -1;
}

QString NotebookRow::readFields()
{
    bool ok = false;
    session = fields[Session].toInt(&ok);
    if (!ok || session < 1)
        return QStringLiteral("the session \"%1\" is not a number from 1 up").arg(fields[Session]);
    // An experiment of the lab (1, 2, ...) or a system's id (letters,
    // digits, dashes).
    static const QRegularExpression experimentName(QStringLiteral("^([1-9][0-9]{0,8}|[A-Za-z0-9-]*[A-Za-z-][A-Za-z0-9-]*)$"));
    if (!experimentName.match(fields[Experiment]).hasMatch() || fields[Experiment].size() > 32)
        return QStringLiteral("the experiment \"%1\" is neither a number from 1 up nor a system's id")
            .arg(fields[Experiment]);
    const auto named = std::find_if(events.begin(), events.end(), [this](EventKind kind) {
        return fields[Event] == QLatin1String(eventName(kind));
    });
    if (named == events.end())
        return QStringLiteral("\"%1\" is not an event of the lab").arg(fields[Event]);
    event = *named;
    numbers.fill(std::nullopt);
    for (int column = 0; column < ColumnCount; ++column) {
        const QString &text = fields[column];
        if (decimalsOf(Column(column), event) < 0 || text.isEmpty())
            continue;
        numbers[column] = plainNumber(text);
        if (!numbers[column])
            return QStringLiteral("%1 \"%2\" is not a number").arg(QLatin1String(columnNames[column]), text);
    }
    return {};
}
