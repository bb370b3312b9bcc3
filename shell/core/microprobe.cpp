#include "microprobe.h"

#include <cmath>

Microprobe::Microprobe(const OxideSystem &system, ScatterSource &scatter, std::int64_t &drawCount, float drawX2)
    : m_system(system)
    , m_scatter(scatter)
    , m_drawCount(drawCount)
    , m_drawX2(drawX2)
{
}

Microprobe::Column Microprobe::mixture(double x2, double complement, NegativeValues negatives)
{
    Column column{};
    for (const int row : m_system.drawOrder) {
        const double scatterValue = m_scatter.fud(m_drawX2, m_drawCount);
        double value = (x2 * m_system.mineral2[row] + complement * m_system.mineral1[row]) + scatterValue;
        if (negatives == NegativeValues::ReadAsSize && m_system.readsAsSize[row] && value < 0)
            value = 0 - value;
        column[row] = value;
    }
    return column;
}

double Microprobe::crystalOxide(const Column &endMember, int row)
{
    const double scatterValue = m_scatter.fud(m_drawX2, m_drawCount);
    return endMember[row] == 0 ? std::fabs(scatterValue) : endMember[row] + scatterValue;
}

double Microprobe::total(const Column &column) const
{
    const std::array<int, 4> &order = m_system.totalOrder;
    return ((column[order[0]] + column[order[1]]) + column[order[2]]) + column[order[3]];
}
