#pragma once

#include "notebookrow.h"
#include "sessionevent.h"

#include <functional>

// Turns what happens in the experiment windows into notebook rows: one row
// for each run, refused run and aborted run, and one for each phase a
// microprobe press analyses (one row with the temperature alone when there
// is nothing to analyse). Numbers are written exactly as the report shows
// them, but as plain numbers with a decimal point, whatever the desktop's
// locale, so that every spreadsheet reads them the same.
class NotebookRecorder : public SessionRecorder
{
public:
    using RowSink = std::function<void(const NotebookRow &)>;
    using Clock = std::function<QString()>;

    // session: this lab start's number; kit: the kit code, or empty;
    // entryLocale: the name of the locale the entries are typed in ("de_DE",
    // "C"), so that a check on another desktop reads them as typed; clock:
    // the time stamp of each row (empty times when there is no clock).
    NotebookRecorder(int session, const QString &kit, const QString &entryLocale, Clock clock, RowSink sink);

    void record(const SessionEvent &event) override;

    // The local time now, ISO 8601 with its offset from UTC.
    static QString localTimeNow();

private:
    void recordCooling(const SessionEvent &event);
    NotebookRow startRow(const SessionEvent &event, NotebookRow::EventKind kind) const;
    void send(NotebookRow &row) const;

    int m_session;
    QString m_kit;
    QString m_locale;
    Clock m_clock;
    RowSink m_sink;
};
