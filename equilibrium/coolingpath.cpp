#include "coolingpath.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// A mass this small is no phase at all: rounding, not crystals.
constexpr double noMass = 1e-12;

struct Split
{
    double liquidMass = 0; // fraction of the assemblage
    double liquidX2 = 0;
    std::vector<PhaseAmount> solids;
};

// The liquid (both, where it has unmixed, as one) and the solids of an assemblage.
Split split(const Assemblage &assemblage)
{
    Split result;
    double liquidMetal = 0;
    for (const PhaseAmount &phase : assemblage.phases) {
        if (phase.fraction <= noMass)
            continue;
        if (phase.phase == GibbsModel::liquid) {
            result.liquidMass += phase.fraction;
            liquidMetal += phase.fraction * phase.x2;
        } else {
            result.solids.push_back(phase);
        }
    }
    if (result.liquidMass > 0)
        result.liquidX2 = liquidMetal / result.liquidMass;
    return result;
}

} // namespace

std::vector<double> CoolingPath::temperatures(double from, double to, double step)
{
    if (!(from >= to) || !(step >= 1) || !std::isfinite(from) || !std::isfinite(to))
        return {};
    const double count = std::floor((from - to) / step + 1e-9) + 1;
    if (count > double(largestStepCount))
        return {};
    std::vector<double> celsius;
    for (int index = 0; index < int(count); ++index)
        celsius.push_back(from - index * step);
    if (celsius.back() > to + 1e-9) {
        if (celsius.size() == largestStepCount)
            return {};
        celsius.push_back(to);
    }
    return celsius;
}

CoolingPath::CoolingPath(const BinarySystem &system, double bulkX2, double from, double to, double step, Kind kind)
    : m_solver(system)
    , m_kind(kind)
    , m_bulkX2(bulkX2)
{
    const std::vector<double> celsius = temperatures(from, to, step);
    m_steps.reserve(celsius.size());
    if (kind == Kind::Equilibrium)
        coolInEquilibrium(celsius);
    else
        coolFractionally(celsius);
}

void CoolingPath::coolInEquilibrium(const std::vector<double> &temperatures)
{
    for (const double celsius : temperatures) {
        const Split charge = split(m_solver.at(m_bulkX2, celsius));
        Step step{celsius, charge.liquidMass, charge.liquidX2, m_layers.size(), m_layers.size()};
        // Every crystal has reacted to the composition stable here.
        for (std::size_t index = 0; index < charge.solids.size(); ++index) {
            const PhaseAmount &solid = charge.solids[index];
            m_layers.push_back({solid.phase, solid.x2, solid.fraction, celsius, index});
        }
        step.endLayer = m_layers.size();
        m_steps.push_back(step);
    }
}

void CoolingPath::coolFractionally(const std::vector<double> &temperatures)
{
    // What still reacts: the liquid, its mass and composition.
    double reactingMass = 1;
    double reactingX2 = m_bulkX2;
    for (const double celsius : temperatures) {
        if (reactingMass > noMass) {
            const Split charge = split(m_solver.at(reactingX2, celsius));
            growLayers(charge.solids, reactingMass, celsius);
            reactingMass *= charge.liquidMass;
            reactingX2 = charge.liquidX2;
        }
        if (reactingMass <= noMass) {
            reactingMass = 0;
            reactingX2 = 0;
        }
        m_steps.push_back({celsius, reactingMass, reactingX2, 0, m_layers.size()});
    }
}

void CoolingPath::growLayers(const std::vector<PhaseAmount> &solids, double reactingMass, double celsius)
{
    std::vector<bool> grew(m_rimPhase.size(), false);
    for (const PhaseAmount &solid : solids) {
        std::size_t crystal = m_rimPhase.size();
        const auto same = std::find(m_rimPhase.begin(), m_rimPhase.end(), solid.phase);
        if (same != m_rimPhase.end()) {
            crystal = std::size_t(same - m_rimPhase.begin());
        } else if (solids.size() == 1) {
            // Alone, once another phase stopped: it mantles that one's crystals.
            for (std::size_t index = m_grewLast.size(); index-- > 0;) {
                if (m_grewLast[index]) {
                    crystal = index;
                    break;
                }
            }
        }
        if (crystal == m_rimPhase.size()) {
            m_rimPhase.push_back(solid.phase);
            grew.push_back(false);
        }
        m_rimPhase[crystal] = solid.phase;
        grew[crystal] = true;
        m_layers.push_back({solid.phase, solid.x2, reactingMass * solid.fraction, celsius, crystal});
    }
    m_grewLast = grew;
}

std::vector<std::vector<CoolingPath::Layer>> CoolingPath::crystalsAt(std::size_t step) const
{
    std::vector<std::vector<Layer>> crystals;
    const Step &at = m_steps.at(step);
    for (std::size_t index = at.firstLayer; index < at.endLayer; ++index) {
        const Layer &layer = m_layers[index];
        if (crystals.size() <= layer.crystal)
            crystals.resize(layer.crystal + 1);
        crystals[layer.crystal].push_back(layer);
    }
    return crystals;
}

std::vector<PhaseAmount> CoolingPath::phasesAt(std::size_t step) const
{
    const Step &at = m_steps.at(step);
    const BinarySystem &system = m_solver.system();
    std::vector<PhaseAmount> phases;
    if (at.hasLiquid())
        phases.push_back({GibbsModel::liquid, system.moleFraction(at.liquidX2), at.liquidX2, at.liquidMass});
    std::map<int, std::pair<double, double>> solids; // phase: mass, mass times X(2)
    for (std::size_t index = at.firstLayer; index < at.endLayer; ++index) {
        auto &[mass, metal] = solids[m_layers[index].phase];
        mass += m_layers[index].mass;
        metal += m_layers[index].mass * m_layers[index].x2;
    }
    for (const auto &[phase, amount] : solids) {
        const double x2 = amount.second / amount.first;
        phases.push_back({phase, system.moleFraction(x2), x2, amount.first});
    }
    std::stable_sort(phases.begin(), phases.end(),
                     [](const PhaseAmount &a, const PhaseAmount &b) { return a.x2 < b.x2; });
    return phases;
}

std::vector<CoolingPath::Layer> CoolingPath::traverse(const std::vector<Layer> &crystal, int points)
{
    std::vector<Layer> found;
    double total = 0;
    for (const Layer &layer : crystal)
        total += layer.mass;
    if (crystal.empty() || points < 1)
        return found;
    for (int point = 0; point < points; ++point) {
        const double radius = points == 1 ? 0.0 : double(point) / (points - 1);
        const double within = radius * radius * radius * total;
        double inside = 0;
        const Layer *there = &crystal.back();
        for (const Layer &layer : crystal) {
            inside += layer.mass;
            if (layer.mass > 0 && inside >= within * (1 - 1e-12)) {
                there = &layer;
                break;
            }
        }
        found.push_back(*there);
    }
    return found;
}
