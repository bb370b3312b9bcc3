#pragma once

#include "notebookrow.h"
#include "plotdata.h"

#include <QColor>
#include <QHash>
#include <QLocale>
#include <QStringList>

#include <vector>

// A student's own plot of one experiment, from the rows of their notebook:
// each run a marker at its bulk X(2) and run temperature that says what the
// charge held, each analysed phase a smaller marker at its X(2) and the
// report's temperature. Nothing else: no curve, no field, no eutectic.
//
// The entries of a run are stored as typed, so they are read in the locale
// the row names (a German notebook says "0,5"); a row of a notebook written
// before rows named their locale is read with the given one, then with a
// decimal point.
class NotebookPlot
{
public:
    // A system's analysed crystals in their phases' own colours, by name.
    using PhaseColours = QHash<QString, QColor>;

    struct Result
    {
        PlotData data;
        QList<LineProblem> problems; // rows that could not be placed
        bool pathsChanged = false;   // addRows drew a cooling's step
    };

    // The plot of one experiment: a number of the lab's ("1") or a system's id.
    static Result fromRows(const std::vector<NotebookRow> &rows, const QString &experiment,
                           const QLocale &entryLocale = QLocale(), const PhaseColours &phaseColours = {});
    static Result fromRows(const std::vector<NotebookRow> &rows, int experiment,
                           const QLocale &entryLocale = QLocale());
    // Adds the markers of rows [first, end) to a plot made by fromRows, as a
    // notebook grows; the temperature axis is left as it is. The number of
    // markers added.
    static int addRows(Result &result, const std::vector<NotebookRow> &rows, std::size_t first,
                       const QString &experiment, const QLocale &entryLocale = QLocale(),
                       const PhaseColours &phaseColours = {});
    // The rows that give a marker: runs, and probe rows of an analysed phase.
    // A cooling's rows draw the liquid's path instead.
    static bool isPlotted(const NotebookRow &row);
    // The phase a traverse's point was analysed in ("plagioclase" of
    // "plagioclase core"); any other phase as it is.
    static QString phaseOfPoint(const QString &point);

private:
    static bool addToPath(Result &result, const NotebookRow &row);
};
