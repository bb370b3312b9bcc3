#include "plotdata.h"

#include <cmath>
#include <limits>

namespace {
constexpr double room = 40;  // degrees above and below the data
constexpr double step = 100; // the axis ends on whole hundreds
} // namespace

void PlotData::fitTemperatures()
{
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    const auto take = [&](double temperature) {
        lowest = std::min(lowest, temperature);
        highest = std::max(highest, temperature);
    };
    for (const PlotMarker &marker : markers)
        take(marker.at.y());
    for (const PlotCurve &curve : curves)
        for (const QPointF &point : curve.points)
            take(point.y());
    for (const PlotPath &path : paths)
        for (const QPointF &point : path.points)
            take(point.y());
    if (lowest > highest) {
        lowestTemperature = 1000;
        highestTemperature = 1700;
        return;
    }
    lowestTemperature = std::floor((lowest - room) / step) * step;
    highestTemperature = std::ceil((highest + room) / step) * step;
}
