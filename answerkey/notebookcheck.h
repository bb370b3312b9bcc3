#pragma once

#include "notebookrow.h"

#include <QLocale>
#include <QStringList>

#include <vector>

// Whether a handed-in notebook is what the lab produced. Each session is
// played again from a fresh start of the lab, with the entries as they were
// typed and the runs, refused entries, aborts and microprobe presses in the
// order the notebook holds them, and every field the lab writes (all but
// the time) is compared with what the lab gives.
//
// A microprobe press gives one row per analysed phase; a press whose rows
// stop short, or repeat a phase, has rows missing. Once a session has gone
// wrong the rest of it usually disagrees too: the scatter and the run state
// no longer follow the student's.
class NotebookCheck
{
public:
    // Each session is played with the kit its rows name, if any.
    explicit NotebookCheck(const QLocale &entryLocale);

    struct Result
    {
        int rowsChecked = 0;
        int sessions = 0;
        // "COLUMN: recorded X, the lab gives Y", "a row is missing ...", by line
        QList<LineProblem> disagreements;
    };

    Result check(const std::vector<NotebookRow> &rows) const;

private:
    void checkSession(const std::vector<NotebookRow> &rows, Result &result) const;

    QLocale m_locale;
};
