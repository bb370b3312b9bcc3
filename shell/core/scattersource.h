#pragma once

#include <cstdint>

// Where a microprobe report gets the analytical scatter it adds to each
// oxide value. The lab uses AnalyticalScatter; tests hand a report fixed
// draws so that every digit of a report can be checked.
class ScatterSource
{
public:
    virtual ~ScatterSource() = default;

    // Returns one scatter value for the phase composition xx (an X(2) value)
    // and adds 1 to the caller's draw counter nn.
    virtual double fud(float xx, std::int64_t &nn) = 0;
};
