#pragma once

#include "experimentdefinition.h"
#include "notebookrow.h"
#include "plotdata.h"

#include <QLocale>

#include <vector>

// An experiment's true phase diagram for instructors, drawn from its
// model's own curves: liquidus and solidus, the names of the fields, and,
// when a worksheet was played, its runs and analyses in the notebook's
// symbols with a tie line joining the coexisting phases of each analysed run.
class DiagramPlot
{
public:
    // entryLocale: the locale the worksheet's entries were read in.
    static PlotData make(const ExperimentDefinition &experiment, const std::vector<NotebookRow> &rows,
                         const QLocale &entryLocale);
};
