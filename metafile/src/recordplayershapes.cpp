// The line and shape records of RecordPlayer.
#include "recordplayer.h"

#include "bytereader.h"
#include "recordfunction.h"

#include <cmath>

namespace wmf {

namespace {

QRectF rectangleFrom(ByteReader &reader)
{
    const qreal bottom = reader.readInt16();
    const qreal right = reader.readInt16();
    const qreal top = reader.readInt16();
    const qreal left = reader.readInt16();
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

QPointF pointFrom(ByteReader &reader)
{
    const qreal y = reader.readInt16();
    const qreal x = reader.readInt16();
    return QPointF(x, y);
}

// The angle Qt's arc functions use for the point where the radial line from
// the centre through `point` meets the ellipse inscribed in `box`.
qreal ellipseAngle(const QRectF &box, const QPointF &point)
{
    const QPointF offset = point - box.center();
    const qreal radiusX = qMax<qreal>(box.width() / 2, 1e-9);
    const qreal radiusY = qMax<qreal>(box.height() / 2, 1e-9);
    return qRadiansToDegrees(std::atan2(-offset.y() / radiusY, offset.x() / radiusX));
}

// Reads `count` x,y pairs; the caller has checked that they are there.
QPolygonF readPoints(ByteReader &reader, int count)
{
    QPolygonF polygon;
    polygon.reserve(count);
    for (int point = 0; point < count; ++point) {
        const qreal x = reader.readInt16();
        polygon.append(QPointF(x, reader.readInt16()));
    }
    return polygon;
}

} // namespace

RecordProblem RecordPlayer::onMoveTo(Record &record)
{
    const QPointF point = pointFrom(record.parameters);
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    m_state.currentPosition = point;
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onLineTo(Record &record)
{
    const QPointF end = pointFrom(record.parameters);
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    QPainterPath path;
    path.setFillRule(m_state.fillRule);
    path.moveTo(m_state.currentPosition);
    path.lineTo(end);
    m_state.currentPosition = end;
    drawPath(path, Outline::Stroke);
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onPolyline(Record &record)
{
    ByteReader &reader = record.parameters;
    const int count = reader.readInt16();
    if (count < 0 || !reader.hasRemaining(qsizetype(count) * 4))
        return RecordProblem::damaged(QStringLiteral("%1 points do not fit in the record").arg(count));
    QPainterPath path;
    path.setFillRule(m_state.fillRule);
    path.addPolygon(readPoints(reader, count));
    if (record.kind() == RecordFunction::Polygon) {
        path.closeSubpath();
        drawPath(path, Outline::StrokeAndFill);
    } else {
        drawPath(path, Outline::Stroke);
    }
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onPolyPolygon(Record &record)
{
    ByteReader &reader = record.parameters;
    const int polygonCount = reader.readUInt16();
    if (!reader.hasRemaining(qsizetype(polygonCount) * 2))
        return RecordProblem::damaged(QStringLiteral("%1 polygon sizes do not fit in the record").arg(polygonCount));
    std::vector<int> counts(polygonCount);
    qint64 totalPoints = 0;
    for (int &count : counts) {
        count = reader.readUInt16();
        totalPoints += count;
    }
    if (!reader.hasRemaining(totalPoints * 4))
        return RecordProblem::damaged(QStringLiteral("%1 points do not fit in the record").arg(totalPoints));
    QPainterPath path;
    path.setFillRule(m_state.fillRule);
    for (int count : counts) {
        path.addPolygon(readPoints(reader, count));
        path.closeSubpath();
    }
    drawPath(path, Outline::StrokeAndFill);
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onRectangleOrEllipse(Record &record)
{
    const QRectF box = rectangleFrom(record.parameters);
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    QPainterPath path;
    path.setFillRule(m_state.fillRule);
    if (record.kind() == RecordFunction::Rectangle)
        path.addRect(box);
    else
        path.addEllipse(box);
    drawPath(path, Outline::StrokeAndFill);
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onRoundRectangle(Record &record)
{
    ByteReader &reader = record.parameters;
    const qreal cornerHeight = reader.readInt16();
    const qreal cornerWidth = reader.readInt16();
    const QRectF box = rectangleFrom(reader);
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    QPainterPath path;
    path.setFillRule(m_state.fillRule);
    path.addRoundedRect(box, std::abs(cornerWidth) / 2, std::abs(cornerHeight) / 2);
    drawPath(path, Outline::StrokeAndFill);
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onArc(Record &record)
{
    ByteReader &reader = record.parameters;
    const QPointF end = pointFrom(reader);
    const QPointF start = pointFrom(reader);
    const QRectF box = rectangleFrom(reader);
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    // GDI draws counter-clockwise from the start radial to the end radial.
    const qreal startAngle = ellipseAngle(box, start);
    qreal sweep = ellipseAngle(box, end) - startAngle;
    if (sweep <= 0)
        sweep += 360;
    QPainterPath path;
    path.setFillRule(m_state.fillRule);
    if (record.kind() == RecordFunction::Pie) {
        path.moveTo(box.center());
        path.arcTo(box, startAngle, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(box, startAngle);
        path.arcTo(box, startAngle, sweep);
        if (record.kind() == RecordFunction::Chord)
            path.closeSubpath();
    }
    drawPath(path, record.kind() == RecordFunction::Arc ? Outline::Stroke : Outline::StrokeAndFill);
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onSetPixel(Record &record)
{
    const std::uint32_t reference = record.parameters.readUInt32();
    const QPointF point = pointFrom(record.parameters);
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    noteBounds(QRectF(point, QSizeF(1, 1)));
    if (!preparePainter())
        return RecordProblem::none();
    // One device pixel, wherever the mapping puts it.
    const QPointF target = m_painter->transform().map(point);
    m_painter->resetTransform();
    m_painter->fillRect(QRectF(target, QSizeF(1, 1)), colorFromReference(reference));
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onPatternBlit(Record &record)
{
    ByteReader &reader = record.parameters;
    const std::uint32_t operation = reader.readUInt32();
    const qreal height = reader.readInt16();
    const qreal width = reader.readInt16();
    const QPointF origin = pointFrom(reader);
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    fillPattern(QRectF(origin, QSizeF(width, height)).normalized(), operation);
    return RecordProblem::none();
}

} // namespace wmf
