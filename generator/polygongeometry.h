#pragma once

#include <QLineF>
#include <QPointF>
#include <QPolygonF>

// Plane geometry on convex polygons, enough to tile a charge with cells and
// to place a crystal of a known area inside each cell. Polygons are open
// (the last point is not repeated) and, where it matters, oriented so that
// their signed area is positive.
namespace charge::geometry {

double signedArea(const QPolygonF &polygon);
double area(const QPolygonF &polygon);
QPointF centroid(const QPolygonF &polygon);

// The same polygon with positive signed area.
QPolygonF positivelyOriented(const QPolygonF &polygon);

// Keeps the part of a polygon at least `distance` inside the line a->b on
// its left (positive) side. Empty when nothing is left.
QPolygonF clippedToHalfPlane(const QPolygonF &polygon, const QPointF &a, const QPointF &b,
                             double distance = 0.0);
// The part of `polygon` inside the convex, positively oriented `clip`.
QPolygonF clippedToConvex(const QPolygonF &polygon, const QPolygonF &clip);
// The convex polygon shrunk by moving every edge `distance` inwards; empty
// when the polygon is too thin for that.
QPolygonF inset(const QPolygonF &convex, double distance);

// Whether every point of `inner` lies inside the convex, positively
// oriented `outer` (edges included).
bool containsAll(const QPolygonF &outer, const QPolygonF &inner);
// Turned about `centre` by the angle whose cosine and sine are given.
QPolygonF rotatedAbout(const QPolygonF &polygon, const QPointF &centre, double cosine, double sine);
// The chord of a convex, positively oriented polygon along `direction`
// through the inside point `through`; a null line if the point is outside.
QLineF chord(const QPolygonF &convex, const QPointF &through, const QPointF &direction);
QPolygonF scaledAbout(const QPolygonF &polygon, const QPointF &centre, double factor);
// Scales by `along` in the direction `axis` (a unit vector) and by `across`
// perpendicular to it.
QPolygonF stretchedAbout(const QPolygonF &polygon, const QPointF &centre, const QPointF &axis,
                         double along, double across);
// Cuts every corner off: the cut runs between the points `fraction` of the
// way along the two edges that meet there. Turns a box into an octagon.
QPolygonF cornersCut(const QPolygonF &convex, double fraction);

} // namespace charge::geometry
