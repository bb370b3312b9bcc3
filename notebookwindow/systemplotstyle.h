#pragma once

#include "notebookplot.h"

#include <optional>
#include <utility>

struct BinarySystem;

// What a system's own notebook plot takes from the system: its title, its
// temperature range as the axis and each solid phase's colour, so a
// student's analysed crystals are drawn as the charge pictures drew them.
// Never the system's curves: the plot holds only what the student measured.
class SystemPlotStyle
{
public:
    SystemPlotStyle() = default;
    explicit SystemPlotStyle(const BinarySystem &system);

    const NotebookPlot::PhaseColours &colours() const { return m_colours; }
    // Gives a plot made from the rows the system's title and axis.
    void applyTo(PlotData &data) const;

private:
    QString m_title;
    std::optional<std::pair<double, double>> m_range;
    NotebookPlot::PhaseColours m_colours;
};
