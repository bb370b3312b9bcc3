#include "systemkit.h"

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

Margules shifted(const Margules &margules, const Kit &kit, const std::string &where, double share)
{
    return {margules.w12 + share * kit.margulesShift(where + " W12"),
            margules.w21 + share * kit.margulesShift(where + " W21")};
}

} // namespace

BinarySystem SystemKit::scaled(const BinarySystem &system, const Kit &kit, double share)
{
    BinarySystem variant = system;
    for (Solid &solid : variant.solids) {
        solid.meltingPoint += share * kit.meltShift(solid.name);
        solid.enthalpyOfFusion *= 1 + share * (kit.enthalpyScale(solid.name) - 1);
    }
    // An ideal phase stays ideal: a kit changes what the literature measured.
    if (!system.liquid.isIdeal())
        variant.liquid = shifted(system.liquid, kit, system.id + " liquid", share);
    for (SolidSolution &solution : variant.solutions) {
        if (!solution.margules.isIdeal())
            solution.margules = shifted(solution.margules, kit, system.id + " " + solution.name, share);
    }
    return variant;
}

BinarySystem SystemKit::variant(const BinarySystem &system, const Kit &kit)
{
    const std::vector<std::string> kind = kindOf(system);
    for (double share = 1; share > 1.0 / 64; share /= 2) {
        BinarySystem candidate = scaled(system, kit, share);
        if (kindOf(candidate) == kind)
            return candidate;
    }
    return system;
}
