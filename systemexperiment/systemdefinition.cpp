#include "systemdefinition.h"

#include "systemexperimentmodel.h"
#include "systemkit.h"

#include <cmath>
#include <map>

namespace {

// The diagram is sampled on a grid this fine to find where each field's
// name fits best: the point of the field farthest from its edges.
constexpr int columns = 60;
constexpr int rows = 60;

std::vector<DiagramOutline::Label> fieldLabels(const PhaseDiagram &diagram, double lowest, double highest)
{
    // Each grid point's field, then for each field the point with the most
    // room around it (the largest square of its own field).
    std::vector<std::string> field(columns * rows);
    const auto at = [&](int column, int row) {
        return DiagramOutline::Point{(column + 0.5) / columns, lowest + (row + 0.5) * (highest - lowest) / rows};
    };
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const DiagramOutline::Point point = at(column, row);
            field[row * columns + column] = diagram.fieldAt(point.x2, point.temperature);
        }
    std::map<std::string, std::pair<int, DiagramOutline::Point>> best;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const std::string &name = field[row * columns + column];
            int room = 0;
            for (bool fits = true; fits; ) {
                const int next = room + 1;
                for (int dy = -next; dy <= next && fits; ++dy)
                    for (int dx = -next; dx <= next && fits; ++dx) {
                        const int x = column + dx;
                        const int y = row + dy;
                        fits = x >= 0 && y >= 0 && x < columns && y < rows && field[y * columns + x] == name;
                    }
                if (fits)
                    room = next;
            }
            auto &kept = best[name];
            if (room > kept.first || kept.second.temperature == 0)
                kept = {room, at(column, row)};
        }
    std::vector<DiagramOutline::Label> labels;
    for (const auto &[name, place] : best)
        labels.push_back({place.second, name, std::nullopt});
    return labels;
}

} // namespace

DiagramOutline systemOutline(std::shared_ptr<const PhaseDiagram> shared)
{
    const PhaseDiagram &diagram = *shared;
    const BinarySystem &system = diagram.system();
    DiagramOutline outline;
    for (const PhaseDiagram::Boundary &boundary : diagram.boundaries(system.lowestTemperature, system.highestTemperature)) {
        DiagramOutline::Curve curve{boundary.name, {}};
        for (const PhaseDiagram::Point &point : boundary.points)
            curve.points.push_back({point.x2, point.temperature});
        outline.curves.push_back(curve);
    }
    outline.labels = fieldLabels(diagram, system.lowestTemperature, system.highestTemperature);
    for (const PhaseDiagram::Invariant &invariant : diagram.invariants()) {
        if (invariant.temperature < system.lowestTemperature || invariant.temperature > system.highestTemperature)
            continue;
        const PhaseAmount &point = invariant.phases[invariant.phases[1].phase == GibbsModel::liquid ? 1 : 2];
        outline.labels.push_back({{point.x2, invariant.temperature}, invariant.kind,
                                  DiagramOutline::Point{point.x2, invariant.temperature}});
    }
    outline.fieldAt = [shared](double x2, double temperature) { return shared->fieldAt(x2, temperature); };
    return outline;
}

ExperimentDefinition systemDefinition(const BinarySystem &system, const std::optional<Kit> &kit)
{
    // Finding a diagram's invariants takes some tens of milliseconds (a
    // kit's version a few diagrams more): done on the first run or drawing,
    // then shared by every model and outline.
    struct Lazy
    {
        BinarySystem system;
        std::optional<Kit> kit;
        std::shared_ptr<const PhaseDiagram> diagram;
        std::shared_ptr<const PhaseDiagram> get()
        {
            if (!diagram)
                diagram = std::make_shared<const PhaseDiagram>(kit ? SystemKit::variant(system, *kit) : system);
            return diagram;
        }
    };
    const auto lazy = std::make_shared<Lazy>(Lazy{system, kit, nullptr});
    ExperimentDefinition definition;
    definition.number = 0;
    definition.id = system.id;
    definition.title = system.title;
    definition.temperatureLimit = int(std::floor(system.highestTemperature));
    definition.lowestTemperature = int(std::ceil(system.lowestTemperature));
    definition.makeModel = [lazy] { return std::make_unique<SystemExperimentModel>(lazy->get()); };
    definition.outline = [lazy] { return systemOutline(lazy->get()); };
    return definition;
}
