#include "diagramoutline.h"

#include <cmath>
#include <cstdio>

std::string DiagramOutline::Label::shownText() const
{
    if (!names)
        return text;
    char where[64];
    // Whole degrees where the point lies on one, else tenths (a kit's).
    const bool whole = names->temperature == std::round(names->temperature);
    std::snprintf(where, sizeof where, ", X(2) %.2f, %.*f \u00B0C", names->x2, whole ? 0 : 1, names->temperature);
    return text + where;
}

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

DiagramOutline DiagramOutline::warped(const DiagramWarp &warp) const
{
    if (warp.isIdentity())
        return *this;
    const auto move = [&warp](const Point &point) {
        return Point{warp.toKitX2(point.x2), warp.toKitTemperature(point.temperature)};
    };
    DiagramOutline kit;
    for (const Curve &curve : curves) {
        Curve moved{curve.name, {}};
        for (const Point &point : curve.points)
            moved.points.push_back(move(point));
        kit.curves.push_back(moved);
    }
    for (const Label &label : labels)
        kit.labels.push_back({move(label.at), label.text,
                              label.names ? std::optional<Point>(move(*label.names)) : std::nullopt});
    kit.fieldAt = [warp, standard = fieldAt](double x2, double temperature) {
        return standard(warp.toStandardX2(x2), warp.toStandardTemperature(temperature));
    };
    return kit;
}
