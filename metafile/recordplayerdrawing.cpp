// The drawing records of RecordPlayer: lines, shapes and bitmaps, and the
// painter set-up they share with text.
#include "recordplayer.h"

#include "bytereader.h"
#include "devicebitmapdecoder.h"
#include "dibdecoder.h"
#include "metafilelimits.h"
#include "recordfunction.h"

#include <cmath>

namespace wmf {

namespace {

// Ternary raster operations that blits and PATBLT use.
constexpr std::uint32_t ropSourceCopy = 0x00CC0020, ropSourceAnd = 0x008800C6, ropSourcePaint = 0x00EE0086,
                        ropSourceInvert = 0x00660046, ropNotSourceCopy = 0x00330008, ropBlackness = 0x00000042,
                        ropWhiteness = 0x00FF0062, ropDestinationInvert = 0x00550009, ropPatternInvert = 0x005A0049;

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

QPainter::CompositionMode compositionForRop2(int operation)
{
    switch (operation) {
    case rop2::invert: return QPainter::RasterOp_NotDestination;
    case rop2::xorPen: return QPainter::RasterOp_SourceXorDestination;
    case rop2::notXorPen: return QPainter::RasterOp_NotSourceXorDestination;
    case rop2::maskPen: return QPainter::RasterOp_SourceAndDestination;
    case rop2::mergePen: return QPainter::RasterOp_SourceOrDestination;
    case rop2::notCopyPen: return QPainter::RasterOp_NotSource;
    default: return QPainter::CompositionMode_SourceOver;
    }
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

bool RecordPlayer::preparePainter()
{
    if (!m_painter || m_state.rasterOperation == rop2::noOperation)
        return false;
    if (m_clipDirty) {
        m_painter->resetTransform();
        m_painter->setClipPath(m_targetClip, Qt::ReplaceClip);
        m_painter->setTransform(m_deviceToTarget);
        if (m_state.clip) {
            m_painter->setTransform(QTransform::fromScale(1 / m_clipScale, 1 / m_clipScale) * m_deviceToTarget);
            m_painter->setClipRegion(*m_state.clip, Qt::IntersectClip);
        }
        m_clipDirty = false;
    }
    m_painter->setTransform(logicalToDevice() * m_deviceToTarget);
    QPen pen = m_state.pen;
    QBrush brush = m_state.brush;
    // GDI never draws a geometric pen thinner than one device pixel; a pen
    // one logical unit wide in a fine mapping (twips, say) would otherwise
    // vanish into a faint anti-aliased smear.
    if (pen.style() != Qt::NoPen && !pen.isCosmetic()) {
        const qreal pixelsPerUnit = std::sqrt(std::abs(m_painter->transform().determinant()));
        if (pen.widthF() * pixelsPerUnit < 1) {
            pen.setCosmetic(true);
            pen.setWidthF(1);
        }
    }
    if (m_state.escapeCapStyle)
        pen.setCapStyle(*m_state.escapeCapStyle);
    if (m_state.escapeJoinStyle)
        pen.setJoinStyle(*m_state.escapeJoinStyle);
    if (m_state.escapeMiterLimit)
        pen.setMiterLimit(*m_state.escapeMiterLimit);
    if (m_state.rasterOperation == rop2::black || m_state.rasterOperation == rop2::white) {
        const QColor forced = m_state.rasterOperation == rop2::black ? Qt::black : Qt::white;
        pen.setColor(forced);
        if (brush.style() != Qt::NoBrush)
            brush = QBrush(forced);
    }
    m_painter->setCompositionMode(compositionForRop2(m_state.rasterOperation));
    m_painter->setBackgroundMode(m_state.isBackgroundOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(m_state.backgroundColor);
    m_painter->setPen(pen);
    m_painter->setBrush(brush);
    return true;
}

void RecordPlayer::drawPath(const QPainterPath &logicalPath, Outline outline)
{
    noteBounds(logicalPath.boundingRect());
    if (!preparePainter())
        return;
    if (outline == Outline::Stroke)
        m_painter->strokePath(logicalPath, m_painter->pen());
    else
        m_painter->drawPath(logicalPath);
}

void RecordPlayer::fillRegion(const QRegion &logicalRegion, const QBrush &brush, QPainter::CompositionMode mode)
{
    noteBounds(QRectF(logicalRegion.boundingRect()));
    if (!preparePainter())
        return;
    QPainterPath path;
    path.addRegion(logicalRegion);
    m_painter->setCompositionMode(mode);
    m_painter->fillPath(path, brush);
}

QString RecordPlayer::playShapes(std::uint16_t function, ByteReader &reader, bool &handled)
{
    handled = true;
    QPainterPath path;
    path.setFillRule(m_state.fillRule);
    switch (RecordFunction(function)) {
    case RecordFunction::MoveTo:
        m_state.currentPosition = pointFrom(reader);
        return {};
    case RecordFunction::LineTo: {
        const QPointF end = pointFrom(reader);
        if (!reader.isOk())
            return {};
        path.moveTo(m_state.currentPosition);
        path.lineTo(end);
        m_state.currentPosition = end;
        drawPath(path, Outline::Stroke);
        return {};
    }
    case RecordFunction::Polyline:
    case RecordFunction::Polygon: {
        const int count = reader.readInt16();
        if (count < 0 || !reader.hasRemaining(qsizetype(count) * 4))
            return QStringLiteral("%1 points do not fit in the record").arg(count);
        path.addPolygon(readPoints(reader, count));
        if (RecordFunction(function) == RecordFunction::Polygon) {
            path.closeSubpath();
            drawPath(path, Outline::StrokeAndFill);
        } else {
            drawPath(path, Outline::Stroke);
        }
        return {};
    }
    case RecordFunction::PolyPolygon: {
        const int polygonCount = reader.readUInt16();
        if (!reader.hasRemaining(qsizetype(polygonCount) * 2))
            return QStringLiteral("%1 polygon sizes do not fit in the record").arg(polygonCount);
        std::vector<int> counts(polygonCount);
        qint64 totalPoints = 0;
        for (int &count : counts) {
            count = reader.readUInt16();
            totalPoints += count;
        }
        if (!reader.hasRemaining(totalPoints * 4))
            return QStringLiteral("%1 points do not fit in the record").arg(totalPoints);
        for (int count : counts) {
            path.addPolygon(readPoints(reader, count));
            path.closeSubpath();
        }
        drawPath(path, Outline::StrokeAndFill);
        return {};
    }
    case RecordFunction::Rectangle:
    case RecordFunction::Ellipse: {
        const QRectF box = rectangleFrom(reader);
        if (!reader.isOk())
            return {};
        if (RecordFunction(function) == RecordFunction::Rectangle)
            path.addRect(box);
        else
            path.addEllipse(box);
        drawPath(path, Outline::StrokeAndFill);
        return {};
    }
    case RecordFunction::RoundRect: {
        const qreal cornerHeight = reader.readInt16();
        const qreal cornerWidth = reader.readInt16();
        const QRectF box = rectangleFrom(reader);
        if (!reader.isOk())
            return {};
        path.addRoundedRect(box, std::abs(cornerWidth) / 2, std::abs(cornerHeight) / 2);
        drawPath(path, Outline::StrokeAndFill);
        return {};
    }
    case RecordFunction::Arc:
    case RecordFunction::Pie:
    case RecordFunction::Chord: {
        const QPointF end = pointFrom(reader);
        const QPointF start = pointFrom(reader);
        const QRectF box = rectangleFrom(reader);
        if (!reader.isOk())
            return {};
        // GDI draws counter-clockwise from the start radial to the end radial.
        const qreal startAngle = ellipseAngle(box, start);
        qreal sweep = ellipseAngle(box, end) - startAngle;
        if (sweep <= 0)
            sweep += 360;
        if (RecordFunction(function) == RecordFunction::Pie) {
            path.moveTo(box.center());
            path.arcTo(box, startAngle, sweep);
            path.closeSubpath();
        } else {
            path.arcMoveTo(box, startAngle);
            path.arcTo(box, startAngle, sweep);
            if (RecordFunction(function) == RecordFunction::Chord)
                path.closeSubpath();
        }
        drawPath(path, RecordFunction(function) == RecordFunction::Arc ? Outline::Stroke : Outline::StrokeAndFill);
        return {};
    }
    case RecordFunction::SetPixel: {
        const QColor color = colorFromReference(reader.readUInt32());
        const QPointF point = pointFrom(reader);
        if (!reader.isOk())
            return {};
        noteBounds(QRectF(point, QSizeF(1, 1)));
        if (!preparePainter())
            return {};
        // One device pixel, wherever the mapping puts it.
        const QPointF target = m_painter->transform().map(point);
        m_painter->resetTransform();
        m_painter->fillRect(QRectF(target, QSizeF(1, 1)), color);
        return {};
    }
    case RecordFunction::PatBlt: {
        const std::uint32_t operation = reader.readUInt32();
        const qreal height = reader.readInt16();
        const qreal width = reader.readInt16();
        const QPointF origin = pointFrom(reader);
        if (!reader.isOk())
            return {};
        fillPattern(QRectF(origin, QSizeF(width, height)).normalized(), operation);
        return {};
    }
    default:
        handled = false;
        return {};
    }
}

void RecordPlayer::fillPattern(const QRectF &logicalRect, std::uint32_t rasterOperation)
{
    noteBounds(logicalRect);
    if (!preparePainter())
        return;
    m_painter->setPen(Qt::NoPen);
    switch (rasterOperation) {
    case ropBlackness: m_painter->fillRect(logicalRect, Qt::black); break;
    case ropWhiteness: m_painter->fillRect(logicalRect, Qt::white); break;
    case ropDestinationInvert:
        m_painter->setCompositionMode(QPainter::RasterOp_NotDestination);
        m_painter->fillRect(logicalRect, Qt::white);
        break;
    case ropPatternInvert:
        m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        m_painter->fillRect(logicalRect, m_state.brush);
        break;
    default: m_painter->fillRect(logicalRect, m_state.brush); break;
    }
}

QString RecordPlayer::playBitmaps(int index, std::uint16_t function, ByteReader &reader, bool &handled)
{
    handled = true;
    const RecordFunction kind = RecordFunction(function);
    if (kind == RecordFunction::SetDibToDevice) {
        // Copies pixels one to one: the source and target are the same size.
        const int usage = reader.readUInt16();
        reader.readUInt16(); // scan count and first scan: the DIB holds just those rows
        reader.readUInt16();
        const QPointF sourceOrigin = pointFrom(reader);
        const qreal height = reader.readInt16();
        const qreal width = reader.readInt16();
        const QPointF origin = pointFrom(reader);
        if (!reader.isOk())
            return {};
        return placeBitmap(index, reader, BitmapKind::DeviceIndependent, usage, QRectF(origin, QSizeF(width, height)),
                           QRectF(sourceOrigin, QSizeF(width, height)), ropSourceCopy);
    }
    if (kind != RecordFunction::StretchDib && kind != RecordFunction::DibStretchBlt && kind != RecordFunction::DibBitBlt
        && kind != RecordFunction::BitBlt && kind != RecordFunction::StretchBlt) {
        handled = false;
        return {};
    }
    // The blits come without a bitmap when they only paint with the brush:
    // their size is then exactly the fixed parameters the function number states.
    const bool hasBitmap = kind == RecordFunction::StretchDib || reader.size() != qsizetype(function >> 8) * 2;
    const bool stretches = kind != RecordFunction::DibBitBlt && kind != RecordFunction::BitBlt;
    const std::uint32_t operation = reader.readUInt32();
    int usage = 0;
    if (kind == RecordFunction::StretchDib)
        usage = reader.readUInt16();
    QRectF source;
    if (stretches) {
        const qreal sourceHeight = reader.readInt16();
        const qreal sourceWidth = reader.readInt16();
        const QPointF sourceOrigin = pointFrom(reader);
        source = QRectF(sourceOrigin, QSizeF(sourceWidth, sourceHeight));
    } else {
        source.setTopLeft(pointFrom(reader));
    }
    if (!hasBitmap)
        reader.skip(2); // reserved
    const qreal height = reader.readInt16();
    const qreal width = reader.readInt16();
    const QPointF origin = pointFrom(reader);
    if (!reader.isOk())
        return {};
    if (!stretches)
        source.setSize(QSizeF(width, height));
    const QRectF target(origin, QSizeF(width, height));
    if (!hasBitmap) {
        fillPattern(target.normalized(), operation);
        return {};
    }

    const bool isDeviceDependent = kind == RecordFunction::BitBlt || kind == RecordFunction::StretchBlt;
    return placeBitmap(index, reader, isDeviceDependent ? BitmapKind::DeviceDependent : BitmapKind::DeviceIndependent,
                       usage, target, source, operation);
}

QString RecordPlayer::placeBitmap(int index, ByteReader &reader, BitmapKind kind, int usage, const QRectF &target,
                                  const QRectF &source, std::uint32_t rasterOperation)
{
    if (m_mode == Mode::Validate) {
        DibResult decoded = kind == BitmapKind::DeviceDependent
            ? DeviceBitmapDecoder::decode(reader.rest())
            : DibDecoder::decode(reader.rest(), usage == 1 ? ColorUsage::PaletteIndexes : ColorUsage::RgbColors,
                                 m_state.palette.colors);
        reader.skip(reader.remaining());
        if (!decoded.error.isEmpty())
            return decoded.error;
        if (decoded.image.isNull()) {
            ++m_skipped;
            return {};
        }
        m_bitmapPixels += qint64(decoded.image.width()) * decoded.image.height();
        if (m_bitmapPixels > limits::maximumTotalBitmapPixels)
            return QStringLiteral("bitmaps hold more than %1 pixels in all").arg(limits::maximumTotalBitmapPixels);
        m_data->images.emplace(index, decoded.image);
        noteBounds(target);
        return {};
    }
    reader.skip(reader.remaining());
    const auto found = m_constData.images.find(index);
    if (found != m_constData.images.end())
        drawImage(target, found->second, source, rasterOperation);
    return {};
}

void RecordPlayer::drawImage(const QRectF &logicalTarget, const QImage &image, QRectF source, std::uint32_t rasterOperation)
{
    if (!preparePainter())
        return;
    // DIB source rectangles count rows from the bottom of the bitmap.
    source = QRectF(source.x(), image.height() - source.y() - source.height(), source.width(), source.height()).normalized();
    source = source.intersected(QRectF(image.rect()));
    if (source.isEmpty())
        source = image.rect();
    QImage drawn = image;
    // A negative destination width or height mirrors the bitmap.
    if (logicalTarget.width() < 0 || logicalTarget.height() < 0)
        drawn = image.mirrored(logicalTarget.width() < 0, logicalTarget.height() < 0);
    switch (rasterOperation) {
    case ropSourceAnd: m_painter->setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case ropSourcePaint: m_painter->setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case ropSourceInvert: m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case ropNotSourceCopy: drawn.invertPixels(); [[fallthrough]];
    case ropSourceCopy:
    default: m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    }
    m_painter->drawImage(logicalTarget.normalized(), drawn, source);
}

} // namespace wmf
