#include "randomsequence.h"

namespace charge {

std::uint64_t RandomSequence::next()
{
    m_state += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double RandomSequence::nextUnit()
{
    constexpr double twoToMinus53 = 1.0 / 9007199254740992.0;
    return double(next() >> 11) * twoToMinus53;
}

double RandomSequence::uniform(double low, double high)
{
    return low + (high - low) * nextUnit();
}

int RandomSequence::nextIndex(int count)
{
    return int(next() % std::uint64_t(count));
}

std::uint64_t RandomSequence::seedFromText(const char *text)
{
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const char *c = text; *c; ++c) {
        hash ^= std::uint8_t(*c);
        hash *= 0x100000001B3ull;
    }
    return hash;
}

} // namespace charge
