#include "systemkit.h"

#include "equilibriumsolver.h"
#include "phasediagram.h"

#include <algorithm>

namespace {

// What a kit must keep of a system: its melting points' order and its
// invariants' kinds, from the top down.
std::vector<std::string> kindOf(const BinarySystem &system)
{
    std::vector<std::pair<double, std::string>> melting;
    for (const Solid &solid : system.solids)
        melting.emplace_back(solid.meltingPoint, solid.name);
    std::sort(melting.begin(), melting.end());
    std::vector<std::string> kind;
    for (const auto &[temperature, name] : melting)
        kind.push_back(name);
    const PhaseDiagram diagram(system);
    for (const PhaseDiagram::Invariant &invariant : diagram.invariants()) {
        std::string names = invariant.kind;
        for (const PhaseAmount &phase : invariant.phases)
            names += " " + std::to_string(phase.phase);
        kind.push_back(names);
    }
    return kind;
}

bool isEndMember(const Solid &solid)
{
    return solid.units1 == 0 || solid.units2 == 0;
}

// The liquidus temperature (degrees Celsius) at the composition of solid
// `compound` in the system without it: where another solid first appears
// as the liquid cools, found by bisection to a hundredth of a degree.
double liquidusWithout(const BinarySystem &system, std::size_t compound)
{
    BinarySystem others = system;
    others.solids.erase(others.solids.begin() + std::ptrdiff_t(compound));
    const EquilibriumSolver solver(others);
    const double x2 = system.massFraction(system.solids[compound].moleFraction());
    const auto isLiquid = [&](double celsius) {
        const Assemblage charge = solver.at(x2, celsius);
        return charge.phases.size() == 1 && charge.phases.front().phase == GibbsModel::liquid;
    };
    double low = -200;
    double high = 4000;
    if (isLiquid(low) || !isLiquid(high))
        return 0;
    while (high - low > 0.01) {
        const double middle = (low + high) / 2;
        (isLiquid(middle) ? high : low) = middle;
    }
    return (low + high) / 2;
}

Margules shifted(const Margules &margules, const Kit &kit, const std::string &where, double share)
{
    return {margules.w12 + share * kit.margulesShift(where + " W12"),
            margules.w21 + share * kit.margulesShift(where + " W21")};
}

} // namespace

BinarySystem SystemKit::scaled(const BinarySystem &system, const Kit &kit, double share)
{
    return scaled(system, kit, {share, share, share});
}

BinarySystem SystemKit::scaled(const BinarySystem &system, const Kit &kit, const Shares &shares)
{
    BinarySystem variant = system;
    for (Solid &solid : variant.solids) {
        if (isEndMember(solid))
            solid.meltingPoint += shares.endMembers * kit.meltShift(solid.name);
        solid.enthalpyOfFusion *= 1 + shares.rest * (kit.enthalpyScale(solid.name) - 1);
    }
    // An ideal phase stays ideal: a kit changes what the literature measured.
    if (!system.liquid.isIdeal())
        variant.liquid = shifted(system.liquid, kit, system.id + " liquid", shares.rest);
    for (SolidSolution &solution : variant.solutions) {
        if (!solution.margules.isIdeal())
            solution.margules = shifted(solution.margules, kit, system.id + " " + solution.name, shares.rest);
    }
    // A compound held back follows the liquidus at its own composition, so
    // it keeps its place against it: one that melts to a solid and liquid
    // (enstatite, a fraction of a degree below forsterite's liquidus) still
    // does.
    for (std::size_t index = 0; index < variant.solids.size(); ++index) {
        Solid &solid = variant.solids[index];
        if (isEndMember(solid))
            continue;
        const double follows = liquidusWithout(variant, index) - liquidusWithout(system, index);
        solid.meltingPoint += follows + shares.compounds * (kit.meltShift(solid.name) - follows);
    }
    return variant;
}

BinarySystem SystemKit::variant(const BinarySystem &system, const Kit &kit)
{
    const std::vector<std::string> kind = kindOf(system);
    // What is held back first: the enthalpies and Margules parameters, then
    // a compound's own shift, and only then the end members', which a
    // mineral shares with every system and experiment of the kit.
    constexpr double halves[] = {1.0, 0.5, 0.25, 0.125, 0.0};
    for (const double endMembers : halves)
        for (const double compounds : halves)
            for (const double rest : halves) {
                BinarySystem candidate = scaled(system, kit, {endMembers, compounds, rest});
                if (kindOf(candidate) == kind)
                    return candidate;
            }
    return system;
}
