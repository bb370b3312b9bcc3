#pragma once

#include "kit.h"
#include "systemlibrary.h"
#include "notebookrow.h"

#include <QLocale>
#include <QStringList>

#include <optional>
#include <vector>

// Whether a handed-in notebook is what the lab produced. Each session is
// played again from a fresh start of the lab, with the kit and the locale
// its rows name, the entries as they were typed and the runs, refused
// entries, aborts and microprobe presses in the order the notebook holds
// them, and every field the lab writes (all but the time) is compared with
// what the lab gives.
//
// A spreadsheet may save the notebook again with its numbers written its
// own way ("6.5" for "6.50", "1" for "1.00", a decimal comma): numbers are
// compared as numbers at the precision the lab writes them, texts as texts.
// A changed value is a disagreement.
//
// A microprobe press gives one row per analysed phase; a press whose rows
// stop short, or repeat a phase, has rows missing. Once a session has gone
// wrong the rest of it usually disagrees too: the scatter and the run state
// no longer follow the student's. A cooling is played again from its rows
// (its grams, first and last temperatures and step) and compared step by step.
class ExperimentSession;
class WorksheetRunner;

class NotebookCheck
{
public:
    // fallbackLocale: the locale of entries in rows that do not name theirs
    // (notebooks written before rows said so).
    // systems: the systems whose sessions a notebook may hold besides the
    // lab's own experiments.
    explicit NotebookCheck(const QLocale &fallbackLocale, const SystemLibrary &systems = SystemLibrary::builtIn());

    // Every session must have been run with this kit (a student's own):
    // any other kit, or none, is a disagreement naming the kit it found.
    void setExpectedKit(const std::optional<Kit> &kit) { m_expectedKit = kit; }

    struct Result
    {
        int rowsChecked = 0;
        int sessions = 0;
        // "COLUMN: recorded X, the lab gives Y", "a row is missing ...", by line
        QList<LineProblem> disagreements;
        // The kit codes the sessions name, in the order first seen ("" for none).
        QStringList kits;
    };

    Result check(const std::vector<NotebookRow> &rows) const;

private:
    void checkSession(const std::vector<NotebookRow> &rows, const std::vector<std::size_t> &session,
                      Result &result) const;
    // A cooling's rows against the path the lab cools from their entries.
    static void checkCooling(WorksheetRunner &lab, ExperimentSession &experiment, const std::vector<NotebookRow> &rows,
                             const std::vector<std::size_t> &cooling, const QLocale &locale,
                             std::vector<NotebookRow> &produced, Result &result);

    QLocale m_fallbackLocale;
    SystemLibrary m_systems;
    std::optional<Kit> m_expectedKit;
};
