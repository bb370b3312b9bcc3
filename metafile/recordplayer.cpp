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

// Fixed mapping modes: logical units per inch. Their y axis points up.
double unitsPerInchForMapMode(int mode)
{
    switch (mode) {
    case mapmode::lowMetric: return 254.0;
    case mapmode::highMetric: return 2540.0;
    case mapmode::lowEnglish: return 100.0;
    case mapmode::highEnglish: return 1000.0;
    case mapmode::twips: return 1440.0;
    default: return 0.0;
    }
}

QString truncated(std::uint16_t function)
{
    return QStringLiteral("record 0x%1 is shorter than its parameters").arg(function, 4, 16, QLatin1Char('0'));
}

// Clip coordinates are clamped to this magnitude so that QRect arithmetic
// cannot overflow; it also stands for "everywhere" when a rectangle is cut
// out of a picture that had no clip yet.
constexpr int clipCoordinateBound = 1 << 28;

int clampToClipBound(qreal value)
{
    return int(qBound<qreal>(-clipCoordinateBound, std::round(value), clipCoordinateBound));
}

QRegion everywhere()
{
    return QRegion(QRect(QPoint(-clipCoordinateBound, -clipCoordinateBound),
                         QPoint(clipCoordinateBound - 1, clipCoordinateBound - 1)));
}

} // namespace

RecordPlayer::RecordPlayer(PictureData &data)
    : m_data(&data), m_constData(data), m_mode(Mode::Validate)
{
    m_state.windowExtent = data.referenceExtent;
    m_state.viewportExtent = data.referenceExtent;
    m_objects.resize(qBound(0, data.layout.declaredObjectCount, limits::maximumObjectCount));
    m_clipScale = limits::clipUnitsAcross / qMax<qreal>(1, qMax(data.referenceExtent.width(), data.referenceExtent.height()));
}

RecordPlayer::RecordPlayer(const PictureData &data, QPainter &painter, const QTransform &deviceToTarget,
                           const QPainterPath &targetClip)
    : m_constData(data), m_painter(&painter), m_deviceToTarget(deviceToTarget), m_targetClip(targetClip),
      m_mode(Mode::Draw)
{
    m_state.windowExtent = data.referenceExtent;
    m_state.viewportExtent = data.referenceExtent;
    m_objects.resize(qBound(0, data.layout.declaredObjectCount, limits::maximumObjectCount));
    m_clipScale = limits::clipUnitsAcross / qMax<qreal>(1, qMax(data.referenceExtent.width(), data.referenceExtent.height()));
}

QString RecordPlayer::play()
{
    const auto &records = m_constData.layout.records;
    for (int index = 0; index < int(records.size()); ++index) {
        const RecordSpan &span = records[index];
        ByteReader reader(QByteArrayView(m_constData.bytes).sliced(span.parameterOffset, span.parameterSize));
        const QString problem = playRecord(index, span.function, reader);
        if (!problem.isEmpty())
            return QStringLiteral("record %1 (0x%2): %3")
                .arg(index + 1)
                .arg(span.function, 4, 16, QLatin1Char('0'))
                .arg(problem);
    }
    return {};
}

QString RecordPlayer::playRecord(int index, std::uint16_t function, ByteReader &reader)
{
    bool handled = false;
    QString problem = playState(function, reader, handled);
    if (!handled)
        problem = playObjects(function, reader, handled);
    if (!handled)
        problem = playShapes(function, reader, handled);
    if (!handled)
        problem = playText(function, reader, handled);
    if (!handled)
        problem = playBitmaps(index, function, reader, handled);
    if (!handled)
        problem = playRegions(function, reader, handled);
    if (!handled && function == quint16(RecordFunction::Escape)) {
        handled = true;
        problem = playEscape(reader);
    }
    if (!handled)
        ++m_skipped;
    if (problem.isEmpty() && !reader.isOk())
        problem = truncated(function);
    return problem;
}

QString RecordPlayer::playState(std::uint16_t function, ByteReader &reader, bool &handled)
{
    handled = true;
    GraphicsState &state = m_state;
    switch (RecordFunction(function)) {
    case RecordFunction::SetBackgroundColor: state.backgroundColor = colorFromReference(reader.readUInt32()); break;
    case RecordFunction::SetTextColor: state.textColor = colorFromReference(reader.readUInt32()); break;
    case RecordFunction::SetBackgroundMode: state.isBackgroundOpaque = reader.readUInt16() == backgroundmode::opaque; break;
    case RecordFunction::SetPolyFillMode:
        state.fillRule = reader.readUInt16() == polyfillmode::winding ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case RecordFunction::SetRop2: state.rasterOperation = reader.readUInt16(); break;
    case RecordFunction::SetStretchBltMode: reader.readUInt16(); break; // smooth scaling is always used
    case RecordFunction::SetTextAlign: state.textAlign = reader.readUInt16(); break;
    case RecordFunction::SetTextCharExtra: state.textCharacterExtra = reader.readInt16(); break;
    case RecordFunction::SetMapMode: state.mapMode = reader.readUInt16(); break;
    case RecordFunction::SetWindowOrg:
    case RecordFunction::SetViewportOrg:
    case RecordFunction::OffsetWindowOrg:
    case RecordFunction::OffsetViewportOrg: {
        const qreal y = reader.readInt16();
        const qreal x = reader.readInt16();
        if (RecordFunction(function) == RecordFunction::SetWindowOrg)
            state.windowOrigin = QPointF(x, y);
        else if (RecordFunction(function) == RecordFunction::SetViewportOrg)
            state.viewportOrigin = QPointF(x, y);
        else if (RecordFunction(function) == RecordFunction::OffsetWindowOrg)
            state.windowOrigin += QPointF(x, y);
        else
            state.viewportOrigin += QPointF(x, y);
        break;
    }
    case RecordFunction::SetWindowExt:
    case RecordFunction::SetViewportExt: {
        const qreal height = reader.readInt16();
        const qreal width = reader.readInt16();
        if (reader.isOk() && (width == 0 || height == 0))
            return QStringLiteral("extent %1 x %2 has a zero side").arg(width).arg(height);
        if (RecordFunction(function) == RecordFunction::SetWindowExt)
            state.windowExtent = QSizeF(width, height);
        else
            state.viewportExtent = QSizeF(width, height);
        break;
    }
    case RecordFunction::ScaleWindowExt:
    case RecordFunction::ScaleViewportExt: {
        const qreal yDenominator = reader.readInt16();
        const qreal yNumerator = reader.readInt16();
        const qreal xDenominator = reader.readInt16();
        const qreal xNumerator = reader.readInt16();
        if (!reader.isOk())
            break;
        if (xDenominator == 0 || yDenominator == 0 || xNumerator == 0 || yNumerator == 0)
            return QStringLiteral("extent scaled by a zero factor");
        QSizeF &extent = RecordFunction(function) == RecordFunction::ScaleWindowExt ? state.windowExtent
                                                                                   : state.viewportExtent;
        extent = QSizeF(extent.width() * xNumerator / xDenominator, extent.height() * yNumerator / yDenominator);
        if (extent.width() == 0 || extent.height() == 0)
            return QStringLiteral("extent scaled to zero");
        break;
    }
    case RecordFunction::SaveDc:
        if (int(m_savedStates.size()) >= limits::maximumSaveDepth)
            return QStringLiteral("device contexts saved more than %1 deep").arg(limits::maximumSaveDepth);
        m_savedStates.push_back(m_state);
        break;
    case RecordFunction::RestoreDc: {
        const int which = reader.readInt16();
        const int depth = int(m_savedStates.size());
        // Negative: relative to the top of the stack; positive: an absolute level.
        const int level = which < 0 ? depth + which : which - 1;
        if (reader.isOk() && which != 0 && level >= 0 && level < depth) {
            m_state = m_savedStates[level];
            m_savedStates.resize(level);
            m_clipDirty = true;
        }
        break;
    }
    case RecordFunction::IntersectClipRect:
    case RecordFunction::ExcludeClipRect: {
        const qreal bottom = reader.readInt16();
        const qreal right = reader.readInt16();
        const qreal top = reader.readInt16();
        const qreal left = reader.readInt16();
        if (!reader.isOk())
            break;
        const QRegion area(toClipSpace(QRectF(QPointF(left, top), QPointF(right, bottom))));
        return RecordFunction(function) == RecordFunction::IntersectClipRect ? intersectClip(area) : excludeClip(area);
    }
    case RecordFunction::OffsetClipRegion: {
        const qreal y = reader.readInt16();
        const qreal x = reader.readInt16();
        if (state.clip) {
            const QTransform mapping = logicalToDevice();
            state.clip->translate(clampToClipBound(x * mapping.m11() * m_clipScale),
                                  clampToClipBound(y * mapping.m22() * m_clipScale));
            m_clipDirty = true;
        }
        break;
    }
    case RecordFunction::SelectClipRegion: {
        const int index = reader.readUInt16();
        if (!reader.isOk())
            break;
        // Index 0 is how exporters say "no clip": GDI's NULL region handle.
        if (index == 0 || index >= int(m_objects.size()) || !m_objects[index]) {
            state.clip.reset();
            m_clipDirty = true;
            break;
        }
        const QRegion *region = nullptr;
        if (QString problem = regionAt(index, &region); !problem.isEmpty())
            return problem;
        state.clip = toClipSpace(*region);
        m_clipDirty = true;
        return checkClipSize();
    }
    case RecordFunction::SetRelAbs:
    case RecordFunction::SetMapperFlags:
    case RecordFunction::SetLayout:
    case RecordFunction::SetTextJustification:
    case RecordFunction::RealizePalette:
        break; // no effect on how the picture looks here
    default:
        handled = false;
    }
    return {};
}

QString RecordPlayer::playEscape(ByteReader &reader)
{
    const int escapeFunction = reader.readUInt16();
    const int byteCount = reader.readUInt16();
    if (!reader.hasRemaining(byteCount))
        return QStringLiteral("escape data of %1 bytes runs past the record").arg(byteCount);
    ByteReader data(reader.readBytes(byteCount));
    // Escapes are never executed; only the three that change how lines look
    // are read. Embedded copies of the picture (enhanced metafiles in
    // comments) are ignored in favour of the records themselves.
    switch (escapeFunction) {
    case escapeSetLineCap: {
        const int cap = data.readInt32();
        if (data.isOk())
            m_state.escapeCapStyle = cap == 1 ? Qt::SquareCap : cap == 2 ? Qt::FlatCap : Qt::RoundCap;
        break;
    }
    case escapeSetLineJoin: {
        const int join = data.readInt32();
        if (data.isOk())
            m_state.escapeJoinStyle = join == 1 ? Qt::BevelJoin : join == 2 ? Qt::MiterJoin : Qt::RoundJoin;
        break;
    }
    case escapeSetMiterLimit: {
        const int limit = data.readInt32();
        if (data.isOk() && limit > 0)
            m_state.escapeMiterLimit = limit;
        break;
    }
    default:
        ++m_skipped;
    }
    return {};
}

QString RecordPlayer::storeObject(GdiObject object)
{
    // GDI puts a new object into the lowest free slot of the table.
    for (auto &slot : m_objects) {
        if (!slot) {
            slot = std::move(object);
            return {};
        }
    }
    // Some exporters declare too few objects; grow rather than refuse.
    if (int(m_objects.size()) >= limits::maximumObjectCount)
        return QStringLiteral("more than %1 objects in use at once").arg(limits::maximumObjectCount);
    m_objects.push_back(std::move(object));
    return {};
}

QString RecordPlayer::objectAt(int index, const GdiObject **object) const
{
    if (index < 0 || index >= int(m_objects.size()))
        return QStringLiteral("object index %1 is outside the object table of %2").arg(index).arg(m_objects.size());
    *object = m_objects[index] ? &*m_objects[index] : nullptr;
    return {};
}

QString RecordPlayer::regionAt(int index, const QRegion **logicalRegion) const
{
    const GdiObject *object = nullptr;
    if (QString problem = objectAt(index, &object); !problem.isEmpty())
        return problem;
    if (!object || !std::holds_alternative<Region>(*object))
        return QStringLiteral("object %1 is not a region").arg(index);
    *logicalRegion = &std::get<Region>(*object).area;
    return {};
}

QString RecordPlayer::brushAt(int index, QBrush *brush) const
{
    const GdiObject *object = nullptr;
    if (QString problem = objectAt(index, &object); !problem.isEmpty())
        return problem;
    if (!object || !std::holds_alternative<QBrush>(*object))
        return QStringLiteral("object %1 is not a brush").arg(index);
    *brush = std::get<QBrush>(*object);
    return {};
}

QTransform RecordPlayer::logicalToDevice() const
{
    const GraphicsState &state = m_state;
    const double fixedUnits = unitsPerInchForMapMode(state.mapMode);
    qreal scaleX = 1;
    qreal scaleY = 1;
    if (fixedUnits > 0) {
        // Fixed modes measure in physical units with y pointing up; device
        // units are then pixels at 96 DPI.
        scaleX = 96.0 / fixedUnits;
        scaleY = -96.0 / fixedUnits;
    } else {
        // Window extents are honoured even without SETMAPMODE: many
        // exporters set them and leave the mode at its MM_TEXT default.
        const QSizeF reference = m_constData.referenceExtent;
        scaleX = reference.width() / state.windowExtent.width();
        scaleY = reference.height() / state.windowExtent.height();
        if (state.mapMode == mapmode::isotropic) {
            const qreal common = qMin(std::abs(scaleX), std::abs(scaleY));
            scaleX = std::copysign(common, scaleX);
            scaleY = std::copysign(common, scaleY);
        }
    }
    return QTransform(scaleX, 0, 0, scaleY, -state.windowOrigin.x() * scaleX, -state.windowOrigin.y() * scaleY);
}

QRect RecordPlayer::toClipSpace(const QRectF &logicalRect) const
{
    // The mapping only scales and translates, so rectangles stay rectangles.
    const QRectF device = logicalToDevice().mapRect(logicalRect.normalized());
    return QRect(QPoint(clampToClipBound(device.left() * m_clipScale), clampToClipBound(device.top() * m_clipScale)),
                 QPoint(clampToClipBound(device.right() * m_clipScale) - 1,
                        clampToClipBound(device.bottom() * m_clipScale) - 1));
}

QRegion RecordPlayer::toClipSpace(const QRegion &logicalRegion) const
{
    std::vector<QRect> mapped;
    mapped.reserve(logicalRegion.rectCount());
    for (const QRect &rect : logicalRegion)
        mapped.push_back(toClipSpace(QRectF(rect)));
    return unitedRectangles(mapped);
}

QString RecordPlayer::intersectClip(const QRegion &clipRegion)
{
    m_state.clip = m_state.clip ? m_state.clip->intersected(clipRegion) : clipRegion;
    m_clipDirty = true;
    return checkClipSize();
}

QString RecordPlayer::excludeClip(const QRegion &clipRegion)
{
    m_state.clip = (m_state.clip ? *m_state.clip : everywhere()).subtracted(clipRegion);
    m_clipDirty = true;
    return checkClipSize();
}

QString RecordPlayer::checkClipSize() const
{
    if (m_state.clip && m_state.clip->rectCount() > limits::maximumClipRectangles)
        return QStringLiteral("the clip region grew past %1 rectangles").arg(limits::maximumClipRectangles);
    return {};
}

QColor RecordPlayer::colorFromReference(std::uint32_t reference) const
{
    // COLORREF: red, green, blue bytes, then flags. Flag 1 means the low
    // word is an index into the selected palette.
    if ((reference >> 24) == 0x01) {
        const std::size_t index = reference & 0xFFFF;
        if (index < m_state.palette.colors.size())
            return m_state.palette.colors[index];
        return QColor(Qt::black);
    }
    return QColor(reference & 0xFF, (reference >> 8) & 0xFF, (reference >> 16) & 0xFF);
}

void RecordPlayer::noteBounds(const QRectF &logicalRect)
{
    if (m_mode != Mode::Validate)
        return;
    const QRectF device = logicalToDevice().mapRect(logicalRect.normalized());
    m_bounds = m_bounds.isNull() ? device : m_bounds.united(device);
}

} // namespace wmf
