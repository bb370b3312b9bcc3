#include "diagramplot.h"

#include "notebookplot.h"
#include "notebookpresses.h"

#include <algorithm>

namespace {

// Other places for a field's name, in order of preference: points of the
// same field on a grid over the plot, those with the most room around them
// (grid steps to another field) first, then those nearest the usual place.
std::vector<QPointF> placesInField(const DiagramOutline &outline, const DiagramOutline::Label &label, double lowest,
                                   double highest)
{
    constexpr int steps = 40;
    constexpr int largestRoom = 5;
    constexpr std::size_t kept = 30;
    std::vector<bool> inField((steps + 1) * (steps + 1));
    const auto at = [&](int column, int row) {
        return DiagramOutline::Point{double(column) / steps, lowest + (highest - lowest) * row / steps};
    };
    for (int row = 0; row <= steps; ++row)
        for (int column = 0; column <= steps; ++column) {
            const DiagramOutline::Point point = at(column, row);
            inField[row * (steps + 1) + column] = outline.fieldAt(point.x2, point.temperature) == label.text;
        }
    struct Place
    {
        int room;
        double distance;
        QPointF at;
    };
    std::vector<Place> places;
    for (int row = 1; row < steps; ++row)
        for (int column = 1; column < steps; ++column) {
            if (!inField[row * (steps + 1) + column])
                continue;
            int room = 0;
            for (bool fits = true; fits && room < largestRoom;) {
                const int next = room + 1;
                for (int dy = -next; dy <= next && fits; ++dy)
                    for (int dx = -next; dx <= next && fits; ++dx) {
                        const int x = column + dx;
                        const int y = row + dy;
                        fits = x >= 0 && y >= 0 && x <= steps && y <= steps && inField[y * (steps + 1) + x];
                    }
                room += fits;
            }
            const DiagramOutline::Point point = at(column, row);
            const double dx = point.x2 - label.at.x2;
            const double dy = (point.temperature - label.at.temperature) / (highest - lowest);
            places.push_back({room, dx * dx + dy * dy, QPointF(point.x2, point.temperature)});
        }
    std::stable_sort(places.begin(), places.end(), [](const Place &left, const Place &right) {
        return left.room != right.room ? left.room > right.room : left.distance < right.distance;
    });
    std::vector<QPointF> candidates;
    for (std::size_t index = 0; index < places.size() && index < kept; ++index)
        candidates.push_back(places[index].at);
    return candidates;
}

} // namespace

PlotData DiagramPlot::make(const ExperimentDefinition &experiment, const std::vector<NotebookRow> &rows,
                           const QLocale &entryLocale)
{
    const QString name = QString::fromStdString(experiment.notebookName());
    PlotData data = NotebookPlot::fromRows(rows, name, entryLocale).data;
    data.title = QStringLiteral("%1: phase diagram").arg(QString::fromStdString(experiment.title));
    const DiagramOutline outline = experiment.outline();
    for (const DiagramOutline::Curve &curve : outline.curves) {
        PlotCurve drawn{QString::fromStdString(curve.name), {}};
        for (const DiagramOutline::Point &point : curve.points)
            drawn.points << QPointF(point.x2, point.temperature);
        data.curves.push_back(drawn);
    }
    data.fitTemperatures();
    for (const DiagramOutline::Label &label : outline.labels) {
        PlotLabel shown{QPointF(label.at.x2, label.at.temperature), QString::fromStdString(label.shownText()), {}, false};
        if (label.names) {
            shown.at = QPointF(label.names->x2, label.names->temperature);
            shown.namesPoint = true;
        } else {
            shown.candidates = placesInField(outline, label, data.lowestTemperature, data.highestTemperature);
        }
        data.fieldLabels.push_back(shown);
    }

    // A tie line across the phases of each microprobe press; after a
    // cooling, across the glass and the crystals' rims, where they meet it
    // (a crystal's core grew from an earlier liquid).
    const QString &number = name;
    for (const NotebookPresses::Session &session : NotebookPresses::sessions(rows)) {
        for (const NotebookPresses::Action &action : NotebookPresses::actions(rows, session)) {
            const NotebookRow &first = rows[action.rows.front()];
            if (!action.isPress || action.rows.size() < 2 || first[NotebookRow::Experiment] != number
                || !first.numbers[NotebookRow::X2])
                continue;
            const auto isTraverse = [](const NotebookRow &row) {
                return NotebookPlot::phaseOfPoint(row[NotebookRow::Phase]) != row[NotebookRow::Phase];
            };
            const bool traverse = std::any_of(action.rows.begin(), action.rows.end(),
                                              [&](std::size_t index) { return isTraverse(rows[index]); });
            double lowest = 2;
            double highest = -1;
            int touching = 0;
            for (const std::size_t index : action.rows) {
                const NotebookRow &row = rows[index];
                if (traverse && isTraverse(row) && !row[NotebookRow::Phase].endsWith(QLatin1String(" rim")))
                    continue;
                ++touching;
                lowest = std::min(lowest, row.numbers[NotebookRow::X2].value_or(lowest));
                highest = std::max(highest, row.numbers[NotebookRow::X2].value_or(highest));
            }
            if (touching < 2 || lowest > highest)
                continue;
            const double temperature = first.numbers[NotebookRow::Temperature].value_or(0);
            data.tieLines.emplace_back(QPointF(lowest, temperature), QPointF(highest, temperature));
        }
    }
    data.fitTemperatures();
    return data;
}
