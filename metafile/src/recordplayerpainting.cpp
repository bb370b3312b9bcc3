// How RecordPlayer paints: the painter set up from the graphics state
// (mapping, clip, pen, brush, raster operation) and the fills and strokes
// that shapes, regions and pattern blits share.
#include "recordplayer.h"

#include <cmath>

namespace wmf {

namespace {

// Ternary raster operations that PATBLT uses.
constexpr std::uint32_t ropBlackness = 0x00000042, ropWhiteness = 0x00FF0062, ropDestinationInvert = 0x00550009,
                        ropPatternInvert = 0x005A0049;

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

} // namespace

void RecordPlayer::applyClip()
{
    m_painter->resetTransform();
    m_painter->setClipPath(m_targetClip, Qt::ReplaceClip);
    m_painter->setTransform(m_deviceToTarget);
    if (m_state.clip) {
        m_painter->setTransform(QTransform::fromScale(1 / m_clipScale, 1 / m_clipScale) * m_deviceToTarget);
        m_painter->setClipRegion(*m_state.clip, Qt::IntersectClip);
    }
    m_clipDirty = false;
}

QPen RecordPlayer::effectivePen() const
{
    QPen pen = m_state.pen;
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
    return pen;
}

bool RecordPlayer::preparePainter()
{
    if (!m_painter || m_state.rasterOperation == rop2::noOperation)
        return false;
    if (m_clipDirty)
        applyClip();
    m_painter->setTransform(logicalToDevice() * m_deviceToTarget);
    QPen pen = effectivePen();
    QBrush brush = m_state.brush;
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

} // namespace wmf
