#include "lowerhull.h"

#include <algorithm>
#include <cmath>

namespace {

// Energies closer than this (J/mol) are equal: a tie goes to the liquid.
constexpr double equalEnergy = 1e-9;

// Positive when o -> a -> b turns counter-clockwise.
double cross(const LowerHull::Point &o, const LowerHull::Point &a, const LowerHull::Point &b)
{
    return (a.x - o.x) * (b.g - o.g) - (a.g - o.g) * (b.x - o.x);
}

} // namespace

std::vector<LowerHull::Point> LowerHull::of(std::vector<Point> points)
{
    std::stable_sort(points.begin(), points.end(), [](const Point &left, const Point &right) {
        if (left.x != right.x)
            return left.x < right.x;
        if (std::abs(left.g - right.g) > equalEnergy)
            return left.g < right.g;
        return left.phase < right.phase; // the liquid is phase 0
    });
    std::vector<Point> hull;
    for (const Point &point : points) {
        if (!hull.empty() && hull.back().x == point.x)
            continue; // a higher point at the same composition
        while (hull.size() >= 2 && cross(hull[hull.size() - 2], hull.back(), point) <= 0)
            hull.pop_back();
        hull.push_back(point);
    }
    return hull;
}
