#pragma once

#include "scattersource.h"

#include <vector>

// A scatter source with chosen draws, so that every digit of a report can be
// checked by hand. Hands out `values` in turn (repeating the last one), adds
// 1 to the counter like the real scatter, and remembers what it was passed.
class FixedScatter : public ScatterSource
{
public:
    explicit FixedScatter(std::vector<double> values)
        : m_values(std::move(values))
    {
    }
    explicit FixedScatter(double value)
        : m_values{value}
    {
    }

    double fud(float xx, std::int64_t &nn) override
    {
        nn += 1;
        m_compositions.push_back(xx);
        const std::size_t index = std::min(m_drawn, m_values.size() - 1);
        ++m_drawn;
        return m_values[index];
    }

    std::size_t drawn() const { return m_drawn; }
    const std::vector<float> &compositions() const { return m_compositions; }

private:
    std::vector<double> m_values;
    std::size_t m_drawn = 0;
    std::vector<float> m_compositions;
};
