#pragma once

#include "binarysystem.h"

#include <string>

// How a system's solid phase looks in a picture and on a plot: its colour
// and habit from the system file, else a colour of a palette that
// colour-blind readers tell apart and a habit, by the phase's place among
// the system's solid phases (the same place wherever it is shown).
struct PhaseLooks
{
    std::string colour; // "#rrggbb"
    std::string habit;  // "prism", "plate", "needle" or "grain"

    // The looks of the solid phase named `name` (a solid, or a solid
    // solution); empty for a name that is neither.
    static PhaseLooks of(const BinarySystem &system, const std::string &name);
};
