#include "phaselooks.h"

#include <iterator>

namespace {

constexpr const char *palette[] = {"#0072B2", "#E69F00", "#009E73", "#CC79A7", "#D55E00", "#56B4E9"};
constexpr const char *habits[] = {"prism", "plate"};

PhaseLooks withDefaults(std::string colour, std::string habit, std::size_t place)
{
    if (colour.empty())
        colour = palette[place % std::size(palette)];
    if (habit.empty())
        habit = habits[place % std::size(habits)];
    return {colour, habit};
}

} // namespace

PhaseLooks PhaseLooks::of(const BinarySystem &system, const std::string &name)
{
    // The solid phases in the engine's order: solids of their own, then
    // solutions.
    std::size_t place = 0;
    for (std::size_t index = 0; index < system.solids.size(); ++index) {
        if (system.isSolutionMember(int(index)))
            continue;
        if (system.solids[index].name == name)
            return withDefaults(system.solids[index].colour, system.solids[index].habit, place);
        ++place;
    }
    for (const SolidSolution &solution : system.solutions) {
        if (solution.name == name)
            return withDefaults(solution.colour, solution.habit, place);
        ++place;
    }
    return {};
}
