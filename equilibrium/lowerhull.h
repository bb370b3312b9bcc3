#pragma once

#include <vector>

// The lower convex hull of points (x, G): the lowest Gibbs energy a bulk
// composition can reach by mixing phases. Andrew's monotone chain over the
// points sorted by composition; of points at one composition only the
// lowest counts (an equal liquid first, so that a pure mineral at its
// melting point is liquid).
class LowerHull
{
public:
    struct Point
    {
        double x = 0;
        double g = 0;
        int phase = 0;  // the GibbsModel phase it belongs to
        int sample = 0; // its place among its phase's samples
    };

    // The hull's vertices from x = 0 to x = 1.
    static std::vector<Point> of(std::vector<Point> points);
};
