#pragma once

#include "oxidesystem.h"
#include "scattersource.h"

#include <cstdint>

// The probe of one report: every oxide value it returns carries one draw of
// analytical scatter, and every draw passes the same composition (the
// window's phaseX2) and advances the window's draw counter.
//
// A mixture (glass, or a crystal of the solid solution) of composition X is,
// per oxide k, in the system's draw order,
//   value(k) = (X * mineral2(k) + C * mineral1(k)) + s
// where C is the complement 1 - X as the caller forms it (single or double
// precision) and s is one draw. A crystal of a pure end member is its
// analysis plus a draw; an oxide the crystal lacks reads as the draw's size.
class Microprobe
{
public:
    using Column = OxideSystem::Column;
    enum class NegativeValues { Kept, ReadAsSize };

    Microprobe(const OxideSystem &system, ScatterSource &scatter, std::int64_t &drawCount, float drawX2);

    Column mixture(double x2, double complement, NegativeValues negatives);
    // Draws for one oxide row of an end-member crystal.
    double crystalOxide(const Column &endMember, int row);
    // The column's total, added in the system's order.
    double total(const Column &column) const;

private:
    const OxideSystem &m_system;
    ScatterSource &m_scatter;
    std::int64_t &m_drawCount;
    float m_drawX2;
};
