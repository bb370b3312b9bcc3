// The object records of RecordPlayer: creating, selecting and deleting
// pens, brushes, fonts, palettes and regions, and the region drawing calls.
#include "recordplayer.h"

#include "bytereader.h"
#include "devicebitmapdecoder.h"
#include "dibdecoder.h"
#include "metafilelimits.h"
#include "recordfunction.h"

#include <cmath>

namespace wmf {

namespace {

// LOGFONT face names are at most 32 bytes including the terminating zero.
constexpr qsizetype faceNameBytes = 32;
// The Bitmap16 header of CREATEPATTERNBRUSH is followed by 18 reserved
// bytes and a 4-byte pointer slot before the pattern bits.
constexpr qsizetype patternBrushPaddingBytes = 22;
// FW_BOLD and friends map onto QFont weights by the same 1..1000 scale.
constexpr int defaultFontWeight = 400;
// The colour table of a DIB holds palette indexes when its usage is 1.
constexpr int paletteIndexUsage = 1;

LogicalFont readFont(ByteReader &reader)
{
    LogicalFont font;
    font.height = reader.readInt16();
    reader.readInt16(); // average width: Qt chooses the width from the family
    font.escapement = reader.readInt16();
    reader.readInt16(); // orientation: GDI ignores it unless in advanced mode
    const int weight = reader.readInt16();
    const bool italic = reader.readUInt8() != 0;
    const bool underline = reader.readUInt8() != 0;
    const bool strikeOut = reader.readUInt8() != 0;
    font.charset = reader.readUInt8();
    reader.skip(4); // output precision, clip precision, quality, pitch and family
    QByteArrayView face = reader.rest().first(qMin(reader.remaining(), faceNameBytes));
    if (const qsizetype end = face.indexOf('\0'); end >= 0)
        face = face.first(end);
    QString family = decodeText(face, font.charset).trimmed();
    if (family.isEmpty())
        family = QStringLiteral("Sans Serif");
    font.font.setFamily(family);
    font.font.setWeight(QFont::Weight(qBound(1, weight > 0 ? weight : defaultFontWeight, 1000)));
    font.font.setItalic(italic);
    font.font.setUnderline(underline);
    font.font.setStrikeOut(strikeOut);
    return font;
}

// The scans of a CREATEREGION record: each a count, top and bottom, count/2
// left-right pairs and the count again. Region rectangles exclude their
// right and bottom edges.
RecordProblem readScans(ByteReader &reader, int scanCount, std::vector<QRect> &rectangles)
{
    for (int scan = 0; scan < scanCount; ++scan) {
        // A scan is at least its count, top, bottom and the count again.
        if (!reader.hasRemaining(8))
            return RecordProblem::damaged(
                QStringLiteral("region declares %1 scans but holds %2").arg(scanCount).arg(scan));
        const int count = reader.readUInt16();
        const int top = reader.readInt16();
        const int bottom = reader.readInt16();
        // Check before reading: each pair of coordinates is 4 bytes, and
        // the scan ends with a copy of its count.
        if (!reader.hasRemaining(qsizetype(count / 2) * 4 + 2))
            return RecordProblem::damaged(
                QStringLiteral("region scan %1 declares %2 coordinates past the record").arg(scan).arg(count));
        if (rectangles.size() + count / 2 > std::size_t(limits::maximumRegionRectangles))
            return RecordProblem::damaged(
                QStringLiteral("region has more than %1 rectangles").arg(limits::maximumRegionRectangles));
        for (int pair = 0; pair < count / 2; ++pair) {
            const int left = reader.readInt16();
            const int right = reader.readInt16();
            rectangles.push_back(QRect(QPoint(qMin(left, right), qMin(top, bottom)),
                                       QPoint(qMax(left, right) - 1, qMax(top, bottom) - 1)));
        }
        reader.readUInt16();
    }
    if (!reader.isOk())
        return RecordProblem::damaged(QStringLiteral("region scans run past the record"));
    return RecordProblem::none();
}

} // namespace

RecordProblem RecordPlayer::onCreatePen(Record &record)
{
    ByteReader &reader = record.parameters;
    const int style = reader.readUInt16();
    const int width = reader.readInt16();
    reader.readInt16(); // the y part of the width is not used by GDI
    const std::uint32_t color = reader.readUInt32();
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    return storeObject(makePen(style, width, colorFromReference(color)));
}

RecordProblem RecordPlayer::onCreateBrush(Record &record)
{
    ByteReader &reader = record.parameters;
    const int style = reader.readUInt16();
    const std::uint32_t color = reader.readUInt32();
    const int hatch = reader.readUInt16();
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    return storeObject(makeBrush(style, colorFromReference(color), hatch));
}

RecordProblem RecordPlayer::onCreateFont(Record &record)
{
    LogicalFont font = readFont(record.parameters);
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    return storeObject(std::move(font));
}

RecordProblem RecordPlayer::onCreatePalette(Record &record)
{
    ByteReader &reader = record.parameters;
    reader.readUInt16(); // version
    const int count = reader.readUInt16();
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    if (!reader.hasRemaining(qsizetype(count) * 4))
        return RecordProblem::damaged(QStringLiteral("palette of %1 colours runs past the record").arg(count));
    Palette palette;
    palette.colors.reserve(count);
    for (int entry = 0; entry < count; ++entry) {
        const int red = reader.readUInt8();
        const int green = reader.readUInt8();
        const int blue = reader.readUInt8();
        reader.readUInt8(); // flags
        palette.colors.emplace_back(red, green, blue);
    }
    return storeObject(std::move(palette));
}

RecordProblem RecordPlayer::onCreatePatternBrush(Record &record)
{
    ByteReader &reader = record.parameters;
    QByteArray bitmap = reader.readBytes(DeviceBitmapDecoder::headerBytes).toByteArray();
    reader.skip(patternBrushPaddingBytes);
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    bitmap.append(reader.rest().data(), reader.rest().size());
    const DibResult decoded = DeviceBitmapDecoder::decode(bitmap);
    if (!decoded.error.isEmpty())
        return RecordProblem::damaged(decoded.error);
    return storeObject(QBrush(decoded.image));
}

RecordProblem RecordPlayer::onCreateDibPatternBrush(Record &record)
{
    ByteReader &reader = record.parameters;
    reader.readUInt16(); // style: the DIB follows whatever it says
    const int usage = reader.readUInt16();
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    const DibResult decoded = DibDecoder::decode(
        reader.rest(), usage == paletteIndexUsage ? ColorUsage::PaletteIndexes : ColorUsage::RgbColors,
        m_state.palette.colors);
    if (!decoded.error.isEmpty())
        return RecordProblem::damaged(decoded.error);
    reader.skip(reader.remaining());
    return storeObject(QBrush(decoded.image));
}

RecordProblem RecordPlayer::onCreateRegion(Record &record)
{
    ByteReader &reader = record.parameters;
    reader.readInt16(); // next in chain
    reader.readInt16(); // object type
    reader.readInt32(); // object count
    reader.readInt16(); // region size
    const int scanCount = reader.readInt16();
    reader.readInt16(); // largest scan
    reader.skip(8);     // bounding box: recomputed from the scans
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    if (scanCount < 0)
        return RecordProblem::damaged(QStringLiteral("region has a negative scan count"));
    std::vector<QRect> rectangles;
    if (RecordProblem problem = readScans(reader, scanCount, rectangles); !problem.isNone())
        return problem;
    return storeObject(Region{unitedRectangles(rectangles)});
}

RecordProblem RecordPlayer::onSelectObject(Record &record)
{
    int index = 0;
    const GdiObject *object = nullptr;
    if (RecordProblem problem = readObjectIndex(record.parameters, &index, &object); !problem.isNone())
        return problem;
    if (!object)
        return RecordProblem::none(); // a deleted slot: GDI ignores the call and keeps what is selected
    if (const auto *pen = std::get_if<QPen>(object))
        m_state.pen = *pen;
    else if (const auto *brush = std::get_if<QBrush>(object))
        m_state.brush = *brush;
    else if (const auto *font = std::get_if<LogicalFont>(object))
        m_state.font = *font;
    else if (const auto *palette = std::get_if<Palette>(object))
        m_state.palette = *palette;
    else if (const auto *region = std::get_if<Region>(object))
        return setClip(toClipSpace(region->area));
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onDeleteObject(Record &record)
{
    int index = 0;
    const GdiObject *object = nullptr;
    if (RecordProblem problem = readObjectIndex(record.parameters, &index, &object); !problem.isNone())
        return problem;
    // The state holds copies, so deleting what is selected is harmless.
    m_objects[index].reset();
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onPaletteAnimation(Record &)
{
    ++m_skipped; // palette animation has no meaning for a still picture
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onFillOrFrameRegion(Record &record)
{
    ByteReader &reader = record.parameters;
    const bool isFrame = record.kind() == RecordFunction::FrameRegion;
    const int regionIndex = reader.readUInt16();
    const int brushIndex = reader.readUInt16();
    const qreal frameHeight = isFrame ? reader.readInt16() : 0;
    const qreal frameWidth = isFrame ? reader.readInt16() : 0;
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    const QRegion *region = nullptr;
    QBrush brush;
    if (RecordProblem problem = regionAt(regionIndex, &region); !problem.isNone())
        return problem;
    if (RecordProblem problem = brushAt(brushIndex, &brush); !problem.isNone())
        return problem;
    if (!isFrame) {
        fillRegion(*region, brush, QPainter::CompositionMode_SourceOver);
        return RecordProblem::none();
    }
    // The frame is the band inside the region's edge, frameWidth by
    // frameHeight logical units thick: what is left after taking away the
    // part that stays inside when shifted by that much.
    const int width = qBound(1, int(std::abs(frameWidth)), 0x7FFF);
    const int height = qBound(1, int(std::abs(frameHeight)), 0x7FFF);
    const QRegion inner = region->translated(width, 0) & region->translated(-width, 0)
        & region->translated(0, height) & region->translated(0, -height) & *region;
    fillRegion(region->subtracted(inner), brush, QPainter::CompositionMode_SourceOver);
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onPaintOrInvertRegion(Record &record)
{
    const int regionIndex = record.parameters.readUInt16();
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    const QRegion *region = nullptr;
    if (RecordProblem problem = regionAt(regionIndex, &region); !problem.isNone())
        return problem;
    if (record.kind() == RecordFunction::InvertRegion)
        fillRegion(*region, QBrush(Qt::white), QPainter::RasterOp_SourceXorDestination);
    else
        fillRegion(*region, m_state.brush, QPainter::CompositionMode_SourceOver);
    return RecordProblem::none();
}

} // namespace wmf
