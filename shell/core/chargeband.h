#pragma once

#include <string>

// The picture letter that grades how much of a charge is crystal, from "a"
// (no crystal, all glass) to "n" (all crystal). F is the crystal fraction by
// mass from the lever rule. Each band excludes its lower bound and includes
// its upper one (0.1 is still "b", 0.4 "h", 0.8 "l"), except 0.8 < F < 1,
// which excludes both; "b" spans the whole of 0 < F <= 0.1. A fraction for
// which no band holds (above 1, below 0, not a number) has no letter.
class ChargeBand
{
public:
    static std::string letterFor(double crystalFraction);
};
