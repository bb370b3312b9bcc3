#pragma once

#include "diagramwarp.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// An experiment's true phase diagram as an instructor draws it: its curves
// in X(2) (across) and degrees Celsius (up), the names of its fields placed
// inside them, and which field a point lies in. The lab never shows it to a
// student; the answer-key tool draws it for the key and the lecture.
struct DiagramOutline
{
    struct Point
    {
        double x2;
        double temperature;
    };
    struct Curve
    {
        std::string name; // "liquidus", "solidus"
        std::vector<Point> points;
    };
    struct Label
    {
        Point at;
        std::string text;
        // A label that names a point (the eutectic) states where it is:
        // the text is followed by the point's X(2) and temperature.
        std::optional<Point> names;

        std::string shownText() const;
    };

    std::vector<Curve> curves;
    std::vector<Label> labels;
    // The name of the field (phases) at a point: the same words as a label,
    // e.g. "liquid + crystals of mineral 2".
    std::function<std::string(double x2, double temperature)> fieldAt;

    // The diagram as a kit sees it: every point moved by the warp, and the
    // field at a point the standard field at the point it came from.
    DiagramOutline warped(const DiagramWarp &warp) const;

    // Samples y(x) at `steps` + 1 points from x0 to x1.
    static std::vector<Point> sampled(double x0, double x1, int steps, const std::function<double(double)> &curve);
};
