#include "labelplacement.h"

namespace {

bool crosses(const QLineF &line, const QRectF &box)
{
    if (box.contains(line.p1()) || box.contains(line.p2()))
        return true;
    const QLineF edges[] = {{box.topLeft(), box.topRight()}, {box.topRight(), box.bottomRight()},
                            {box.bottomRight(), box.bottomLeft()}, {box.bottomLeft(), box.topLeft()}};
    for (const QLineF &edge : edges) {
        if (line.intersects(edge, nullptr) == QLineF::BoundedIntersection)
            return true;
    }
    return false;
}

} // namespace

void LabelPlacement::addLines(const QPolygonF &polyline)
{
    for (qsizetype index = 0; index + 1 < polyline.size(); ++index)
        m_lines.emplace_back(polyline[index], polyline[index + 1]);
}

void LabelPlacement::addLine(const QLineF &line)
{
    m_lines.push_back(line);
}

void LabelPlacement::addBox(const QRectF &box)
{
    m_boxes.push_back(box);
}

int LabelPlacement::coverage(const QRectF &box) const
{
    if (!m_area.contains(box))
        return int(m_lines.size() + m_boxes.size()) + 1;
    int covered = 0;
    for (const QLineF &line : m_lines)
        covered += crosses(line, box);
    for (const QRectF &other : m_boxes)
        covered += other.intersects(box);
    return covered;
}

QRectF LabelPlacement::place(const std::vector<QRectF> &candidates)
{
    if (candidates.empty())
        return {};
    QRectF best = candidates.front();
    int bestCoverage = coverage(best);
    for (const QRectF &candidate : candidates) {
        if (bestCoverage == 0)
            break;
        const int covered = coverage(candidate);
        if (covered < bestCoverage) {
            best = candidate;
            bestCoverage = covered;
        }
    }
    m_boxes.push_back(best);
    return best;
}
