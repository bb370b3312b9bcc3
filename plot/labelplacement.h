#pragma once

#include <QLineF>
#include <QPolygonF>
#include <QRectF>

#include <vector>

// Where the names of a plot go: each label takes the first of its candidate
// boxes that no curve, tie line, marker or label placed before it covers,
// and that lies inside the plot; when every candidate is covered, the one
// covered least. A placed label covers later ones.
class LabelPlacement
{
public:
    explicit LabelPlacement(const QRectF &area) : m_area(area) {}

    void addLines(const QPolygonF &polyline);
    void addLine(const QLineF &line);
    void addBox(const QRectF &box);

    // The chosen box, now covering later labels; the first candidate when
    // there are no others.
    QRectF place(const std::vector<QRectF> &candidates);
    // How many things a box would cover (a box outside the plot counts as
    // covered by everything).
    int coverage(const QRectF &box) const;

private:
    QRectF m_area;
    std::vector<QLineF> m_lines;
    std::vector<QRectF> m_boxes;
};
