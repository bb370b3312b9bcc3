#include "notebookrecorder.h"

#include "experimentsession.h"
#include "numberformat.h"

#include <QDateTime>

namespace {

// Plain numbers: the report's digits without its leading zeros.
const NumberFormat plain(".");

QString plainNumber(double value, const char *pattern)
{
    return QString::fromStdString(plain.apply(value, pattern));
}

} // namespace

NotebookRecorder::NotebookRecorder(int session, const QString &kit, const QString &entryLocale, Clock clock,
                                   RowSink sink)
    : m_session(session)
    , m_kit(kit)
    , m_locale(entryLocale)
    , m_clock(std::move(clock))
    , m_sink(std::move(sink))
{
}

QString NotebookRecorder::localTimeNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const int offsetMinutes = now.offsetFromUtc() / 60;
    return now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
        + QStringLiteral("%1%2:%3")
              .arg(offsetMinutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
              .arg(qAbs(offsetMinutes) / 60, 2, 10, QLatin1Char('0'))
              .arg(qAbs(offsetMinutes) % 60, 2, 10, QLatin1Char('0'));
}

NotebookRow NotebookRecorder::startRow(const SessionEvent &event, NotebookRow::EventKind kind) const
{
    NotebookRow row;
    row[NotebookRow::Time] = m_clock ? m_clock() : QString();
    row[NotebookRow::Session] = QString::number(m_session);
    row[NotebookRow::Experiment] = QString::fromStdString(event.session->definition().notebookName());
    row[NotebookRow::Event] = QLatin1String(NotebookRow::eventName(kind));
    row[NotebookRow::Kit] = m_kit;
    row[NotebookRow::Locale] = m_locale;
    return row;
}

void NotebookRecorder::send(NotebookRow &row) const
{
    [[maybe_unused]] const QString problem = row.readFields();
    Q_ASSERT(problem.isEmpty()); // the lab writes only rows it can read
    m_sink(row);
}

void NotebookRecorder::record(const SessionEvent &event)
{
    if (event.kind == SessionEvent::Kind::Probe) {
        NotebookRow row = startRow(event, NotebookRow::EventKind::Probe);
        row[NotebookRow::Temperature] = plainNumber(event.report.temperature, "0");
        if (event.report.phases.empty())
            send(row);
        for (const PhaseAnalysis &phase : event.report.phases) {
            NotebookRow phaseRow = row;
            phaseRow[NotebookRow::Phase] = QString::fromStdString(phase.phase);
            for (const auto &[oxide, value] : phase.oxides) {
                const NotebookRow::Column column = NotebookRow::oxideColumn(QString::fromStdString(oxide));
                Q_ASSERT(column != NotebookRow::ColumnCount); // every oxide of the lab has its column
                if (column != NotebookRow::ColumnCount)
                    phaseRow[column] = plainNumber(value, "0.00");
            }
            phaseRow[NotebookRow::Total] = plainNumber(phase.total, "0.00");
            phaseRow[NotebookRow::X2] = plainNumber(phase.x2, "0.00");
            send(phaseRow);
        }
        return;
    }
    if (event.kind == SessionEvent::Kind::Cool) {
        recordCooling(event);
        return;
    }
    const NotebookRow::EventKind kind = event.kind == SessionEvent::Kind::Run ? NotebookRow::EventKind::Run
        : event.kind == SessionEvent::Kind::EntryError                       ? NotebookRow::EventKind::EntryError
                                                                              : NotebookRow::EventKind::Abort;
    NotebookRow row = startRow(event, kind);
    row[NotebookRow::Grams1] = event.entries[0];
    row[NotebookRow::Grams2] = event.entries[1];
    row[NotebookRow::Temperature] = event.entries[2];
    if (event.kind == SessionEvent::Kind::Run) {
        row[NotebookRow::Picture] = ExperimentSession::pictureName(event.charge);
        row[NotebookRow::Charge] = event.session->describe(event.charge);
    }
    send(row);
}

void NotebookRecorder::recordCooling(const SessionEvent &event)
{
    // A row a step: the grams as typed, the step's temperature, the charge
    // there and the liquid's composition.
    for (const CoolingStep &step : event.steps) {
        NotebookRow row = startRow(event, NotebookRow::EventKind::Cool);
        row[NotebookRow::Grams1] = event.entries[0];
        row[NotebookRow::Grams2] = event.entries[1];
        row[NotebookRow::Temperature] = plainNumber(step.celsius, "0");
        row[NotebookRow::Charge] = event.session->describe(step.charge);
        row[NotebookRow::Phase] = NotebookRow::coolingProgram(QLatin1String(CoolEntries::kindName(event.coolingKind)),
                                                              event.steps.front().celsius, event.steps.back().celsius,
                                                              event.coolingStep);
        if (step.liquidX2)
            row[NotebookRow::X2] = plainNumber(*step.liquidX2, "0.000");
        send(row);
    }
}
