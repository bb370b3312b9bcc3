#pragma once

#include <QString>

#include <array>
#include <optional>

// One row of a lab notebook: every field as the text the file holds, in the
// notebook's columns, and what the row says read once from that text.
//
//   time        ISO 8601 with the offset from UTC ("2026-12-07T14:03:22+01:00")
//   session     1 for the first lab start recorded in the file, then 2, 3, ...
//   experiment  1 or 2, or the id of a system ("fo-sio2")
//   event       "run", "entry error", "abort", "probe" or "cool"
//   grams1, grams2, temperature
//               the three entries exactly as typed (runs of every kind); on a
//               probe row the temperature the report states; on a cool row
//               the grams as typed and the step's temperature
//   picture, charge
//               the picture's file name and what it shows in words (runs;
//               a cool row's charge at its step)
//   phase       the report's column heading: "glass", "crystal", "crystal(1)",
//               "crystal(2)", or a system's phase ("forsterite"); a point of
//               a traverse after a cooling ("plagioclase core", "plagioclase
//               1" ... "plagioclase rim"); empty on a probe row of a report
//               with no analysis; on a cool row the path's kind and program,
//               "fractional 1500 to 1120 by 20"
//   SiO2, TiO2, Al2O3, Fe2O3, FeO, MnO, MgO, CaO, Na2O, K2O, total, X2
//               the numbers the report shows, as plain numbers with a decimal
//               point ("0.08" where the report shows "00.08"); empty where the
//               phase has no such oxide; on a cool row X2 is the liquid's
//               (empty once no liquid is left)
//   kit         the student's kit code, empty for the lab's own systems
//   locale      the desktop locale the entries were typed in ("de_DE", "C")
//
// Notebooks written before rows named their locale have 18 columns: no
// locale, and of the oxides only SiO2, Al2O3, MgO, CaO and Na2O.
struct NotebookRow
{
    enum Column {
        Time, Session, Experiment, Event, Grams1, Grams2, Temperature, Picture, Charge, Phase,
        SiO2, TiO2, Al2O3, Fe2O3, FeO, MnO, MgO, CaO, Na2O, K2O, Total, X2, Kit, Locale, ColumnCount
    };
    static constexpr std::array<const char *, ColumnCount> columnNames{
        "time",  "session", "experiment", "event", "grams1", "grams2", "temperature", "picture",
        "charge", "phase",  "SiO2",       "TiO2",  "Al2O3",  "Fe2O3",  "FeO",         "MnO",
        "MgO",   "CaO",     "Na2O",       "K2O",   "total",  "X2",     "kit",         "locale"};

    enum class EventKind { Run, EntryError, Abort, Probe, Cool };

    std::array<QString, ColumnCount> fields; // the text the file holds
    int lineNumber = 0; // the file's line the row starts on (the header is line 1)

    // Read from the fields by readFields().
    EventKind event = EventKind::Run;
    int session = 0;
    // The numbers the lab writes on a probe row (its temperature, oxides,
    // total and X(2)); nothing where the field is empty.
    std::array<std::optional<double>, ColumnCount> numbers{};

    QString &operator[](Column column) { return fields[column]; }
    const QString &operator[](Column column) const { return fields[column]; }

    // Reads the event, session and numbers from the fields: an empty string,
    // or why the fields are not a notebook row. Numbers may have a decimal
    // comma, as a spreadsheet in a decimal-comma language saves them.
    QString readFields();

    bool isProbe() const { return event == EventKind::Probe; }
    bool isCool() const { return event == EventKind::Cool; }
    // A probe row of an analysed phase (not the lone row of a press with
    // nothing to analyse).
    bool isAnalysis() const { return isProbe() && !fields[Phase].isEmpty(); }
    // Runs of every kind: the three entries as typed.
    bool hasEntries() const { return !isProbe() && !isCool(); }

    static const char *eventName(EventKind event);
    // A cool row's phase: "fractional 1500 to 1120 by 20" (whole degrees).
    static QString coolingProgram(const QString &kind, double from, double to, double step);
    struct CoolingProgram
    {
        QString kind;
        double from = 0;
        double to = 0;
        double step = 1;
    };
    // The program a cool row's phase names, or nothing.
    std::optional<CoolingProgram> coolingProgram() const;
    // The column of an oxide the report names ("SiO2"), or ColumnCount.
    static Column oxideColumn(const QString &oxide);
    // The decimals the lab writes a number column with (the report's
    // precision), or -1 for a column of text.
    static int decimalsOf(Column column, EventKind event);
};

// A line of a notebook (or of a class list) that cannot be read or does not
// agree, and why.
struct LineProblem
{
    int line = 0;
    QString why;

    QString text() const { return QStringLiteral("line %1: %2").arg(line).arg(why); }
    // "FILE:LINE: why", as compilers name lines.
    QString in(const QString &file) const { return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(why); }
};
