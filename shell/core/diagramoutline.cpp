#include "diagramoutline.h"

std::vector<DiagramOutline::Point> DiagramOutline::sampled(double x0, double x1, int steps,
                                                           const std::function<double(double)> &curve)
{
    std::vector<Point> points;
    for (int step = 0; step <= steps; ++step) {
        const double x = x0 + (x1 - x0) * step / steps;
        points.push_back({x, curve(x)});
    }
    return points;
}
