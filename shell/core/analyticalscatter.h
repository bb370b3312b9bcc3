#pragma once

#include "randomsource.h"
#include "scattersource.h"

// The analytical scatter of the microprobe: a value spread evenly over the
// open interval -0.1 to 0.1 weight percent, negative and positive with equal
// chance, so that analyses read like measurements rather than textbook
// numbers.
//
// Each call takes two numbers r1, r2 from the random source: r1 only for the
// sign (negative when r1 < 0.5, positive otherwise, so 0.5 is positive) and
// r2 for the size; the result is sign * r2 * 0.1 in double precision. One
// instance serves the whole program, both experiment windows.
class AnalyticalScatter : public ScatterSource
{
public:
    explicit AnalyticalScatter(std::uint32_t startState = RandomSource::startState) : m_random(startState) {}

    double fud(float xx, std::int64_t &nn) override;

    // The scatter value of one pair of draws: the sign from the first, the
    // size from the second.
    static double fromDraws(float signDraw, float sizeDraw);

private:
    RandomSource m_random;
};
