#include "polygongeometry.h"

#include <algorithm>
#include <cmath>

namespace charge::geometry {

namespace {

double cross(const QPointF &a, const QPointF &b)
{
    return a.x() * b.y() - a.y() * b.x();
}

} // namespace

double signedArea(const QPolygonF &polygon)
{
    double twiceArea = 0.0;
    for (qsizetype i = 0, count = polygon.size(); i < count; ++i)
        twiceArea += cross(polygon[i], polygon[(i + 1) % count]);
    return twiceArea / 2.0;
}

double area(const QPolygonF &polygon)
{
    return std::abs(signedArea(polygon));
}

QPointF centroid(const QPolygonF &polygon)
{
    const double twiceArea = 2.0 * signedArea(polygon);
    if (polygon.isEmpty())
        return {};
    if (twiceArea == 0.0) {
        QPointF sum;
        for (const QPointF &point : polygon)
            sum += point;
        return sum / double(polygon.size());
    }
    double x = 0.0;
    double y = 0.0;
    for (qsizetype i = 0, count = polygon.size(); i < count; ++i) {
        const QPointF &p = polygon[i];
        const QPointF &q = polygon[(i + 1) % count];
        const double c = cross(p, q);
        x += (p.x() + q.x()) * c;
        y += (p.y() + q.y()) * c;
    }
    return {x / (3.0 * twiceArea), y / (3.0 * twiceArea)};
}

QPolygonF positivelyOriented(const QPolygonF &polygon)
{
    if (signedArea(polygon) >= 0.0)
        return polygon;
    QPolygonF reversed;
    reversed.reserve(polygon.size());
    for (qsizetype i = polygon.size() - 1; i >= 0; --i)
        reversed.append(polygon[i]);
    return reversed;
}

QPolygonF clippedToHalfPlane(const QPolygonF &polygon, const QPointF &a, const QPointF &b,
                             double distance)
{
    const QPointF edge = b - a;
    const double length = std::hypot(edge.x(), edge.y());
    if (length == 0.0)
        return polygon;
    // Signed distance of a point to the left of the line, less the margin.
    const auto depth = [&](const QPointF &p) { return cross(edge, p - a) / length - distance; };

    QPolygonF result;
    for (qsizetype i = 0, count = polygon.size(); i < count; ++i) {
        const QPointF &current = polygon[i];
        const QPointF &following = polygon[(i + 1) % count];
        const double d0 = depth(current);
        const double d1 = depth(following);
        if (d0 >= 0.0)
            result.append(current);
        if ((d0 >= 0.0) != (d1 >= 0.0)) {
            const double t = d0 / (d0 - d1);
            result.append(current + (following - current) * t);
        }
    }
    return result.size() >= 3 ? result : QPolygonF();
}

QPolygonF clippedToConvex(const QPolygonF &polygon, const QPolygonF &clip)
{
    QPolygonF result = polygon;
    for (qsizetype i = 0, count = clip.size(); i < count && !result.isEmpty(); ++i)
        result = clippedToHalfPlane(result, clip[i], clip[(i + 1) % count]);
    return result;
}

QPolygonF inset(const QPolygonF &convex, double distance)
{
    // A convex polygon is the intersection of the half-planes of its edges;
    // moving each of them inwards and intersecting again gives the inset.
    QPolygonF result = convex;
    for (qsizetype i = 0, count = convex.size(); i < count && !result.isEmpty(); ++i)
        result = clippedToHalfPlane(result, convex[i], convex[(i + 1) % count], distance);
    return result;
}

bool containsAll(const QPolygonF &outer, const QPolygonF &inner)
{
    // Tolerance in square units of the cross product: far below a twip.
    constexpr double tolerance = 1e-6;
    for (qsizetype i = 0, count = outer.size(); i < count; ++i) {
        const QPointF edge = outer[(i + 1) % count] - outer[i];
        for (const QPointF &point : inner) {
            if (cross(edge, point - outer[i]) < -tolerance)
                return false;
        }
    }
    return true;
}

QPolygonF rotatedAbout(const QPolygonF &polygon, const QPointF &centre, double cosine, double sine)
{
    QPolygonF result;
    result.reserve(polygon.size());
    for (const QPointF &point : polygon) {
        const QPointF offset = point - centre;
        result.append(centre + QPointF(offset.x() * cosine - offset.y() * sine,
                                       offset.x() * sine + offset.y() * cosine));
    }
    return result;
}

QLineF chord(const QPolygonF &convex, const QPointF &through, const QPointF &direction)
{
    // Each edge's half-plane bounds the parameter s of through + s direction.
    double low = -1e300;
    double high = 1e300;
    for (qsizetype i = 0, count = convex.size(); i < count; ++i) {
        const QPointF edge = convex[(i + 1) % count] - convex[i];
        const double offset = cross(edge, through - convex[i]);
        const double slope = cross(edge, direction);
        if (slope > 0.0)
            low = std::max(low, -offset / slope);
        else if (slope < 0.0)
            high = std::min(high, -offset / slope);
        else if (offset < 0.0)
            return {};
    }
    if (convex.size() < 3 || low > high)
        return {};
    return {through + direction * low, through + direction * high};
}

QPolygonF scaledAbout(const QPolygonF &polygon, const QPointF &centre, double factor)
{
    QPolygonF result;
    result.reserve(polygon.size());
    for (const QPointF &point : polygon)
        result.append(centre + (point - centre) * factor);
    return result;
}

QPolygonF stretchedAbout(const QPolygonF &polygon, const QPointF &centre, const QPointF &axis,
                         double along, double across)
{
    const QPointF normal(-axis.y(), axis.x());
    QPolygonF result;
    result.reserve(polygon.size());
    for (const QPointF &point : polygon) {
        const QPointF offset = point - centre;
        const double u = QPointF::dotProduct(offset, axis);
        const double v = QPointF::dotProduct(offset, normal);
        result.append(centre + axis * (u * along) + normal * (v * across));
    }
    return result;
}

QPolygonF cornersCut(const QPolygonF &convex, double fraction)
{
    QPolygonF result;
    result.reserve(convex.size() * 2);
    for (qsizetype i = 0, count = convex.size(); i < count; ++i) {
        const QPointF &current = convex[i];
        const QPointF &following = convex[(i + 1) % count];
        result.append(current + (following - current) * fraction);
        result.append(following + (current - following) * fraction);
    }
    return result;
}

} // namespace charge::geometry
