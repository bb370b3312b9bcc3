#include "analyticalscatter.h"

double AnalyticalScatter::fud(float xx, std::int64_t &nn)
{
    // The composition is only the argument of the draws; any positive
    // argument asks the generator for its next number, and with the counter
    // already increased the argument is always positive here.
    (void)xx;
    nn += 1;
    const float signDraw = m_random.next();
    const float sizeDraw = m_random.next();
    return fromDraws(signDraw, sizeDraw);
}

double AnalyticalScatter::fromDraws(float signDraw, float sizeDraw)
{
    const double sign = signDraw < 0.5f ? -1.0 : 1.0;
    return sign * static_cast<double>(sizeDraw) * 0.1;
}
