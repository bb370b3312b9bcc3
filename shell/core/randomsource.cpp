#include "randomsource.h"

float RandomSource::next()
{
    // 32-bit unsigned arithmetic wraps modulo 2^32, a multiple of 2^24, so
    // masking the wrapped result gives the exact residue modulo 2^24.
    m_state = (m_state * multiplier + increment) & modulusMask;
    return static_cast<float>(m_state) / static_cast<float>(1u << 24);
}
