#pragma once

#include <cstdint>

// The lab's one uniform pseudo-random source.
//
// A 24-bit linear congruential generator, fixed so that a published answer
// key stays valid on every machine: the state starts at 327680 at every
// program start, and each draw sets
//
//     state = (state * 1140671485 + 12820163) mod 2^24
//
// and returns state / 2^24, a 32-bit float in [0, 1) (exact, as 24 bits fit
// a float's mantissa). A fresh start draws 0.7055475, 0.5334240, 0.5795186,
// 0.2895625, 0.3019480, ... Nothing ever seeds it, so the scatter that a
// student sees depends only on how many numbers were drawn since start-up.
class RandomSource
{
public:
    static constexpr std::uint32_t startState = 327680;

    // A student's kit starts the sequence elsewhere; the lab itself never does.
    explicit RandomSource(std::uint32_t start = startState) : m_state(start & modulusMask) {}

    float next();
    std::uint32_t state() const { return m_state; }

private:
    static constexpr std::uint32_t multiplier = 1140671485u;
    static constexpr std::uint32_t increment = 12820163u;
    static constexpr std::uint32_t modulusMask = (1u << 24) - 1;

    std::uint32_t m_state;
};
