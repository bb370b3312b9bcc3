// The device-context records of RecordPlayer: colours, modes, the mapping
// of logical units, saved states, clipping and escapes.
#include "recordplayer.h"

#include "bytereader.h"
#include "metafilelimits.h"
#include "recordfunction.h"

#include <cmath>

namespace wmf {

namespace {

// Escape functions that change how lines are drawn.
constexpr int escapeSetLineCap = 21;
constexpr int escapeSetLineJoin = 22;
constexpr int escapeSetMiterLimit = 23;

// Clip coordinates stay within this magnitude (as in toClipSpace); the
// region of that size stands for "everywhere" when a rectangle is cut out
// of a picture that had no clip yet.
constexpr int clipCoordinateBound = 1 << 28;

QRegion everywhere()
{
    return QRegion(QRect(QPoint(-clipCoordinateBound, -clipCoordinateBound),
                         QPoint(clipCoordinateBound - 1, clipCoordinateBound - 1)));
}

int clampToClipBound(qreal value)
{
    return int(qBound<qreal>(-clipCoordinateBound, std::round(value), clipCoordinateBound));
}

} // namespace

RecordProblem RecordPlayer::onSetColor(Record &record)
{
    const std::uint32_t reference = record.parameters.readUInt32();
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    const QColor color = colorFromReference(reference);
    if (record.kind() == RecordFunction::SetBackgroundColor)
        m_state.backgroundColor = color;
    else
        m_state.textColor = color;
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onSetMode(Record &record)
{
    const std::uint16_t value = record.parameters.readUInt16();
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    GraphicsState &state = m_state;
    switch (record.kind()) {
    case RecordFunction::SetBackgroundMode: state.isBackgroundOpaque = value == backgroundmode::opaque; break;
    case RecordFunction::SetPolyFillMode:
        state.fillRule = value == polyfillmode::winding ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case RecordFunction::SetRop2: state.rasterOperation = value; break;
    case RecordFunction::SetTextAlign: state.textAlign = value; break;
    case RecordFunction::SetTextCharExtra: state.textCharacterExtra = std::int16_t(value); break;
    case RecordFunction::SetMapMode: state.mapMode = value; break;
    default: break; // SETSTRETCHBLTMODE: bitmaps are always scaled smoothly
    }
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onOrigin(Record &record)
{
    const qreal y = record.parameters.readInt16();
    const qreal x = record.parameters.readInt16();
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    switch (record.kind()) {
    case RecordFunction::SetWindowOrg: m_state.windowOrigin = QPointF(x, y); break;
    case RecordFunction::SetViewportOrg: m_state.viewportOrigin = QPointF(x, y); break;
    case RecordFunction::OffsetWindowOrg: m_state.windowOrigin += QPointF(x, y); break;
    default: m_state.viewportOrigin += QPointF(x, y); break;
    }
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onExtent(Record &record)
{
    const qreal height = record.parameters.readInt16();
    const qreal width = record.parameters.readInt16();
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    if (width == 0 || height == 0)
        return RecordProblem::damaged(QStringLiteral("extent %1 x %2 has a zero side").arg(width).arg(height));
    (record.kind() == RecordFunction::SetWindowExt ? m_state.windowExtent : m_state.viewportExtent) =
        QSizeF(width, height);
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onScaleExtent(Record &record)
{
    ByteReader &reader = record.parameters;
    const qreal yDenominator = reader.readInt16();
    const qreal yNumerator = reader.readInt16();
    const qreal xDenominator = reader.readInt16();
    const qreal xNumerator = reader.readInt16();
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    if (xDenominator == 0 || yDenominator == 0 || xNumerator == 0 || yNumerator == 0)
        return RecordProblem::damaged(QStringLiteral("extent scaled by a zero factor"));
    QSizeF &extent = record.kind() == RecordFunction::ScaleWindowExt ? m_state.windowExtent : m_state.viewportExtent;
    const QSizeF scaled(extent.width() * xNumerator / xDenominator, extent.height() * yNumerator / yDenominator);
    if (scaled.width() == 0 || scaled.height() == 0)
        return RecordProblem::damaged(QStringLiteral("extent scaled to zero"));
    extent = scaled;
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onSaveDc(Record &)
{
    if (int(m_savedStates.size()) >= limits::maximumSaveDepth)
        return RecordProblem::overLimit(
            QStringLiteral("device contexts saved more than %1 deep").arg(limits::maximumSaveDepth));
    m_savedStates.push_back(m_state);
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onRestoreDc(Record &record)
{
    const int which = record.parameters.readInt16();
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    const int depth = int(m_savedStates.size());
    // Negative: relative to the top of the stack; positive: an absolute level.
    // A level that was never saved leaves everything as it is, as GDI does.
    const int level = which < 0 ? depth + which : which - 1;
    if (which != 0 && level >= 0 && level < depth) {
        m_state = m_savedStates[level];
        m_savedStates.resize(level);
        m_clipDirty = true;
    }
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onClipRectangle(Record &record)
{
    ByteReader &reader = record.parameters;
    const qreal bottom = reader.readInt16();
    const qreal right = reader.readInt16();
    const qreal top = reader.readInt16();
    const qreal left = reader.readInt16();
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    const QRegion area(toClipSpace(QRectF(QPointF(left, top), QPointF(right, bottom))));
    if (record.kind() == RecordFunction::IntersectClipRect)
        return setClip(m_state.clip ? m_state.clip->intersected(area) : area);
    return setClip((m_state.clip ? *m_state.clip : everywhere()).subtracted(area));
}

RecordProblem RecordPlayer::onOffsetClipRegion(Record &record)
{
    const qreal y = record.parameters.readInt16();
    const qreal x = record.parameters.readInt16();
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    if (m_state.clip) {
        const QTransform mapping = logicalToDevice();
        m_state.clip->translate(clampToClipBound(x * mapping.m11() * m_clipScale),
                                clampToClipBound(y * mapping.m22() * m_clipScale));
        m_clipDirty = true;
    }
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onSelectClipRegion(Record &record)
{
    const int index = record.parameters.readUInt16();
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    // Index 0 is how exporters say "no clip": GDI's NULL region handle.
    if (index == 0 || index >= int(m_objects.size()) || !m_objects[index])
        return setClip(std::nullopt);
    const QRegion *region = nullptr;
    if (RecordProblem problem = regionAt(index, &region); !problem.isNone())
        return problem;
    return setClip(toClipSpace(*region));
}

RecordProblem RecordPlayer::onEscape(Record &record)
{
    ByteReader &reader = record.parameters;
    const int escapeFunction = reader.readUInt16();
    const int byteCount = reader.readUInt16();
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    if (!reader.hasRemaining(byteCount))
        return RecordProblem::damaged(QStringLiteral("escape data of %1 bytes runs past the record").arg(byteCount));
    ByteReader data(reader.readBytes(byteCount));
    // Escapes are never executed; only the three that change how lines look
    // are read. Embedded copies of the picture (enhanced metafiles in
    // comments) are ignored in favour of the records themselves.
    const int value = data.readInt32();
    switch (escapeFunction) {
    case escapeSetLineCap:
        if (data.isOk())
            m_state.escapeCapStyle = value == 1 ? Qt::SquareCap : value == 2 ? Qt::FlatCap : Qt::RoundCap;
        break;
    case escapeSetLineJoin:
        if (data.isOk())
            m_state.escapeJoinStyle = value == 1 ? Qt::BevelJoin : value == 2 ? Qt::MiterJoin : Qt::RoundJoin;
        break;
    case escapeSetMiterLimit:
        if (data.isOk() && value > 0)
            m_state.escapeMiterLimit = value;
        break;
    default:
        ++m_skipped;
    }
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onNoVisibleEffect(Record &)
{
    return RecordProblem::none(); // no effect on how the picture looks here
}

} // namespace wmf
