#include "systemplotstyle.h"

#include "binarysystem.h"
#include "phaselooks.h"

namespace {

// A report's column heading, and so a probe row's phase, holds a phase's
// name cut to ten letters.
constexpr qsizetype headingWidth = 10;

} // namespace

SystemPlotStyle::SystemPlotStyle(const BinarySystem &system)
    : m_title(QStringLiteral("%1: my runs and analyses").arg(QString::fromStdString(system.title)))
    , m_range(std::pair{system.lowestTemperature, system.highestTemperature})
{
    std::vector<std::string> names;
    for (const Solid &solid : system.solids)
        names.push_back(solid.name);
    for (const SolidSolution &solution : system.solutions)
        names.push_back(solution.name);
    for (const std::string &name : names) {
        const PhaseLooks looks = PhaseLooks::of(system, name);
        if (looks.colour.empty())
            continue;
        // A run's report cuts the name to its column; a traverse names it whole.
        m_colours.insert(QString::fromStdString(name).left(headingWidth), QColor(QString::fromStdString(looks.colour)));
        m_colours.insert(QString::fromStdString(name), QColor(QString::fromStdString(looks.colour)));
    }
}

void SystemPlotStyle::applyTo(PlotData &data) const
{
    if (!m_title.isEmpty())
        data.title = m_title;
    if (m_range) {
        data.lowestTemperature = m_range->first;
        data.highestTemperature = m_range->second;
    }
}
