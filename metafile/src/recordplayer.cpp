#include "recordplayer.h"

#include "bytereader.h"
#include "metafilelimits.h"
#include "recordfunction.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace wmf {

namespace {

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


// Clip coordinates are clamped to this magnitude so that QRect arithmetic
// cannot overflow.
constexpr int clipCoordinateBound = 1 << 28;

int clampToClipBound(qreal value)
{
    return int(qBound<qreal>(-clipCoordinateBound, std::round(value), clipCoordinateBound));
}

} // namespace

RecordPlayer::RecordPlayer(PictureData &data)
    : m_data(&data), m_constData(data), m_mode(Mode::Validate)
{
    m_state.windowExtent = data.referenceExtent;
    m_state.viewportExtent = data.referenceExtent;
    m_objects.resize(qBound(0, data.layout.declaredObjectCount, limits::maximumObjectCount));
    m_clipScale = limits::clipUnitsAcross / qMax<qreal>(1, qMax(data.referenceExtent.width(), data.referenceExtent.height()));
    data.damagedRecords.assign(data.layout.records.size(), false);
    data.warnings.clear();
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

std::span<const RecordPlayer::HandlerEntry> RecordPlayer::handlers()
{
    using F = RecordFunction;
    using P = RecordPlayer;
    // Sorted by function number, for the binary search in handlerFor().
    static constexpr HandlerEntry table[] = {
        {F::SaveDc, "SaveDC", &P::onSaveDc},
        {F::RealizePalette, "RealizePalette", &P::onNoVisibleEffect},
        {F::SetPaletteEntries, "SetPaletteEntries", &P::onPaletteAnimation},
        {F::CreatePalette, "CreatePalette", &P::onCreatePalette},
        {F::SetBackgroundMode, "SetBkMode", &P::onSetMode},
        {F::SetMapMode, "SetMapMode", &P::onSetMode},
        {F::SetRop2, "SetROP2", &P::onSetMode},
        {F::SetRelAbs, "SetRelAbs", &P::onNoVisibleEffect},
        {F::SetPolyFillMode, "SetPolyFillMode", &P::onSetMode},
        {F::SetStretchBltMode, "SetStretchBltMode", &P::onSetMode},
        {F::SetTextCharExtra, "SetTextCharExtra", &P::onSetMode},
        {F::RestoreDc, "RestoreDC", &P::onRestoreDc},
        {F::InvertRegion, "InvertRegion", &P::onPaintOrInvertRegion},
        {F::PaintRegion, "PaintRegion", &P::onPaintOrInvertRegion},
        {F::SelectClipRegion, "SelectClipRegion", &P::onSelectClipRegion},
        {F::SelectObject, "SelectObject", &P::onSelectObject},
        {F::SetTextAlign, "SetTextAlign", &P::onSetMode},
        {F::ResizePalette, "ResizePalette", &P::onPaletteAnimation},
        {F::DibCreatePatternBrush, "DibCreatePatternBrush", &P::onCreateDibPatternBrush},
        {F::SetLayout, "SetLayout", &P::onNoVisibleEffect},
        {F::DeleteObject, "DeleteObject", &P::onDeleteObject},
        {F::CreatePatternBrush, "CreatePatternBrush", &P::onCreatePatternBrush},
        {F::SetBackgroundColor, "SetBkColor", &P::onSetColor},
        {F::SetTextColor, "SetTextColor", &P::onSetColor},
        {F::SetTextJustification, "SetTextJustification", &P::onNoVisibleEffect},
        {F::SetWindowOrg, "SetWindowOrg", &P::onOrigin},
        {F::SetWindowExt, "SetWindowExt", &P::onExtent},
        {F::SetViewportOrg, "SetViewportOrg", &P::onOrigin},
        {F::SetViewportExt, "SetViewportExt", &P::onExtent},
        {F::OffsetWindowOrg, "OffsetWindowOrg", &P::onOrigin},
        {F::OffsetViewportOrg, "OffsetViewportOrg", &P::onOrigin},
        {F::LineTo, "LineTo", &P::onLineTo},
        {F::MoveTo, "MoveTo", &P::onMoveTo},
        {F::OffsetClipRegion, "OffsetClipRgn", &P::onOffsetClipRegion},
        {F::FillRegion, "FillRegion", &P::onFillOrFrameRegion},
        {F::SetMapperFlags, "SetMapperFlags", &P::onNoVisibleEffect},
        {F::SelectPalette, "SelectPalette", &P::onSelectObject},
        {F::CreatePenIndirect, "CreatePenIndirect", &P::onCreatePen},
        {F::CreateFontIndirect, "CreateFontIndirect", &P::onCreateFont},
        {F::CreateBrushIndirect, "CreateBrushIndirect", &P::onCreateBrush},
        {F::Polygon, "Polygon", &P::onPolyline},
        {F::Polyline, "Polyline", &P::onPolyline},
        {F::ScaleWindowExt, "ScaleWindowExt", &P::onScaleExtent},
        {F::ScaleViewportExt, "ScaleViewportExt", &P::onScaleExtent},
        {F::ExcludeClipRect, "ExcludeClipRect", &P::onClipRectangle},
        {F::IntersectClipRect, "IntersectClipRect", &P::onClipRectangle},
        {F::Ellipse, "Ellipse", &P::onRectangleOrEllipse},
        {F::Rectangle, "Rectangle", &P::onRectangleOrEllipse},
        {F::SetPixel, "SetPixel", &P::onSetPixel},
        {F::FrameRegion, "FrameRegion", &P::onFillOrFrameRegion},
        {F::AnimatePalette, "AnimatePalette", &P::onPaletteAnimation},
        {F::TextOut, "TextOut", &P::onTextOut},
        {F::PolyPolygon, "PolyPolygon", &P::onPolyPolygon},
        {F::RoundRect, "RoundRect", &P::onRoundRectangle},
        {F::PatBlt, "PatBlt", &P::onPatternBlit},
        {F::Escape, "Escape", &P::onEscape},
        {F::CreateRegion, "CreateRegion", &P::onCreateRegion},
        {F::Arc, "Arc", &P::onArc},
        {F::Pie, "Pie", &P::onArc},
        {F::Chord, "Chord", &P::onArc},
        {F::BitBlt, "BitBlt", &P::onBlit},
        {F::DibBitBlt, "DibBitBlt", &P::onBlit},
        {F::ExtTextOut, "ExtTextOut", &P::onExtTextOut},
        {F::StretchBlt, "StretchBlt", &P::onBlit},
        {F::DibStretchBlt, "DibStretchBlt", &P::onBlit},
        {F::SetDibToDevice, "SetDIBitsToDevice", &P::onSetDibToDevice},
        {F::StretchDib, "StretchDIB", &P::onBlit},
    };
    static_assert(std::is_sorted(std::begin(table), std::end(table),
                                 [](const HandlerEntry &a, const HandlerEntry &b) { return a.function < b.function; }));
    return table;
}

const RecordPlayer::HandlerEntry *RecordPlayer::handlerFor(std::uint16_t function)
{
    const std::span<const HandlerEntry> table = handlers();
    const auto found = std::lower_bound(table.begin(), table.end(), RecordFunction(function),
                                        [](const HandlerEntry &entry, RecordFunction wanted) {
                                            return entry.function < wanted;
                                        });
    return found != table.end() && found->function == RecordFunction(function) ? &*found : nullptr;
}

QString RecordPlayer::functionName(std::uint16_t function)
{
    if (function == quint16(RecordFunction::FloodFill))
        return QStringLiteral("FloodFill");
    if (function == quint16(RecordFunction::ExtFloodFill))
        return QStringLiteral("ExtFloodFill");
    const HandlerEntry *entry = handlerFor(function);
    return entry ? QLatin1String(entry->name) : QStringLiteral("unknown");
}

QString RecordPlayer::play()
{
    const auto &records = m_constData.layout.records;
    std::optional<RecordWarning> firstDamaged;
    for (int index = 0; index < int(records.size()); ++index) {
        if (m_mode == Mode::Draw && m_constData.isDamaged(index))
            continue;
        const RecordSpan &span = records[index];
        ByteReader reader(QByteArrayView(m_constData.bytes).sliced(span.parameterOffset, span.parameterSize));
        Record record{index, span.function, reader};
        const RecordProblem problem = playRecord(record);
        // Drawing replays records that reading found sound, so a problem
        // can only show up while reading.
        if (problem.isNone() || m_mode == Mode::Draw)
            continue;
        if (problem.reach == RecordProblem::Reach::File)
            return QStringLiteral("record %1 (0x%2): %3")
                .arg(index + 1)
                .arg(span.function, 4, 16, QLatin1Char('0'))
                .arg(problem.reason);
        skipDamagedRecord(record, problem.reason);
        if (!firstDamaged)
            firstDamaged = warningFor(record, problem.reason);
    }
    // A file whose damage leaves nothing to draw is no picture at all.
    if (m_mode == Mode::Validate && firstDamaged && m_bounds.isNull())
        return QStringLiteral("nothing left to draw without its damaged records: %1").arg(firstDamaged->toString());
    return {};
}

RecordProblem RecordPlayer::playRecord(Record &record)
{
    const HandlerEntry *entry = handlerFor(record.function);
    if (!entry) {
        ++m_skipped;
        if (m_mode == Mode::Validate)
            warn(record, QStringLiteral("not a record this reader draws"));
        return RecordProblem::none();
    }
    RecordProblem problem = (this->*entry->handler)(record);
    if (problem.isNone() && !record.parameters.isOk())
        problem = RecordProblem::shortRecord();
    return problem;
}

void RecordPlayer::skipDamagedRecord(const Record &record, const QString &reason)
{
    m_data->damagedRecords[record.index] = true;
    warn(record, reason);
}

RecordWarning RecordPlayer::warningFor(const Record &record, const QString &reason)
{
    return {record.index + 1, record.function, functionName(record.function), reason};
}

void RecordPlayer::warn(const Record &record, const QString &reason)
{
    // A file of a hundred thousand odd records tells the first ones and
    // counts the rest, so that warnings never cost more than the picture.
    if (int(m_data->warnings.size()) < limits::maximumListedWarnings)
        m_data->warnings.push_back(warningFor(record, reason));
    else
        ++m_data->unlistedWarningCount;
}

RecordProblem RecordPlayer::storeObject(GdiObject object)
{
    // GDI puts a new object into the lowest free slot of the table.
    for (auto &slot : m_objects) {
        if (!slot) {
            slot = std::move(object);
            return RecordProblem::none();
        }
    }
    // Some exporters declare too few objects; grow rather than refuse.
    if (int(m_objects.size()) >= limits::maximumObjectCount)
        return RecordProblem::overLimit(
            QStringLiteral("more than %1 objects in use at once").arg(limits::maximumObjectCount));
    m_objects.push_back(std::move(object));
    return RecordProblem::none();
}

RecordProblem RecordPlayer::readObjectIndex(ByteReader &reader, int *index, const GdiObject **object) const
{
    *index = reader.readUInt16();
    if (!reader.isOk())
        return RecordProblem::damaged(QStringLiteral("object index missing"));
    return objectAt(*index, object);
}

RecordProblem RecordPlayer::objectAt(int index, const GdiObject **object) const
{
    if (index < 0 || index >= int(m_objects.size()))
        return RecordProblem::damaged(QStringLiteral("object index %1 is outside the object table of %2")
                                          .arg(index)
                                          .arg(m_objects.size()));
    *object = m_objects[index] ? &*m_objects[index] : nullptr;
    return RecordProblem::none();
}

RecordProblem RecordPlayer::regionAt(int index, const QRegion **logicalRegion) const
{
    const GdiObject *object = nullptr;
    if (RecordProblem problem = objectAt(index, &object); !problem.isNone())
        return problem;
    if (!object || !std::holds_alternative<Region>(*object))
        return RecordProblem::damaged(QStringLiteral("object %1 is not a region").arg(index));
    *logicalRegion = &std::get<Region>(*object).area;
    return RecordProblem::none();
}

RecordProblem RecordPlayer::brushAt(int index, QBrush *brush) const
{
    const GdiObject *object = nullptr;
    if (RecordProblem problem = objectAt(index, &object); !problem.isNone())
        return problem;
    if (!object || !std::holds_alternative<QBrush>(*object))
        return RecordProblem::damaged(QStringLiteral("object %1 is not a brush").arg(index));
    *brush = std::get<QBrush>(*object);
    return RecordProblem::none();
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

RecordProblem RecordPlayer::setClip(std::optional<QRegion> clip)
{
    m_state.clip = std::move(clip);
    m_clipDirty = true;
    if (m_state.clip && m_state.clip->rectCount() > limits::maximumClipRectangles)
        return RecordProblem::overLimit(
            QStringLiteral("the clip region grew past %1 rectangles").arg(limits::maximumClipRectangles));
    return RecordProblem::none();
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
    if (m_mode == Mode::Validate)
        noteDeviceBounds(logicalToDevice().mapRect(logicalRect.normalized()));
}

void RecordPlayer::noteDeviceBounds(const QRectF &deviceRect)
{
    m_bounds = m_bounds.isNull() ? deviceRect : m_bounds.united(deviceRect);
}

} // namespace wmf
