// The bitmap records of RecordPlayer: the blits, old and new, and
// SETDIBITSTODEVICE. Bitmaps are decoded once, while the file is read, and
// drawn from that cache on every paint.
#include "recordplayer.h"

#include "bytereader.h"
#include "devicebitmapdecoder.h"
#include "dibdecoder.h"
#include "metafilelimits.h"
#include "recordfunction.h"

namespace wmf {

namespace {

// Ternary raster operations that blits use.
constexpr std::uint32_t ropSourceCopy = 0x00CC0020, ropSourceAnd = 0x008800C6, ropSourcePaint = 0x00EE0086,
                        ropSourceInvert = 0x00660046, ropNotSourceCopy = 0x00330008;
// The colour table of a DIB holds palette indexes when its usage is 1.
constexpr int paletteIndexUsage = 1;

QPointF pointFrom(ByteReader &reader)
{
    const qreal y = reader.readInt16();
    const qreal x = reader.readInt16();
    return QPointF(x, y);
}

// Where a blit copies from and to, and how.
struct Blit
{
    std::uint32_t operation = ropSourceCopy;
    int usage = 0;
    QRectF source;
    QRectF target;
};

// The parameters of the five blit records, which differ in whether they
// stretch, carry a colour usage and have a bitmap at all.
Blit readBlit(ByteReader &reader, RecordFunction kind, bool hasBitmap)
{
    const bool stretches = kind != RecordFunction::DibBitBlt && kind != RecordFunction::BitBlt;
    Blit blit;
    blit.operation = reader.readUInt32();
    if (kind == RecordFunction::StretchDib)
        blit.usage = reader.readUInt16();
    if (stretches) {
        const qreal sourceHeight = reader.readInt16();
        const qreal sourceWidth = reader.readInt16();
        const QPointF sourceOrigin = pointFrom(reader);
        blit.source = QRectF(sourceOrigin, QSizeF(sourceWidth, sourceHeight));
    } else {
        blit.source.setTopLeft(pointFrom(reader));
    }
    if (!hasBitmap)
        reader.skip(2); // reserved
    const qreal height = reader.readInt16();
    const qreal width = reader.readInt16();
    const QPointF origin = pointFrom(reader);
    if (!stretches)
        blit.source.setSize(QSizeF(width, height));
    blit.target = QRectF(origin, QSizeF(width, height));
    return blit;
}

} // namespace

RecordProblem RecordPlayer::onSetDibToDevice(Record &record)
{
    // Copies pixels one to one: the source and target are the same size.
    ByteReader &reader = record.parameters;
    const int usage = reader.readUInt16();
    reader.readUInt16(); // scan count and first scan: the DIB holds just those rows
    reader.readUInt16();
    const QPointF sourceOrigin = pointFrom(reader);
    const qreal height = reader.readInt16();
    const qreal width = reader.readInt16();
    const QPointF origin = pointFrom(reader);
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    return placeBitmap(record, BitmapKind::DeviceIndependent, usage, QRectF(origin, QSizeF(width, height)),
                       QRectF(sourceOrigin, QSizeF(width, height)), ropSourceCopy);
}

RecordProblem RecordPlayer::onBlit(Record &record)
{
    const RecordFunction kind = record.kind();
    // The blits come without a bitmap when they only paint with the brush:
    // their size is then exactly the fixed parameters the function number states.
    const bool hasBitmap =
        kind == RecordFunction::StretchDib || record.parameters.size() != qsizetype(record.function >> 8) * 2;
    const Blit blit = readBlit(record.parameters, kind, hasBitmap);
    if (!record.parameters.isOk())
        return RecordProblem::shortRecord();
    if (!hasBitmap) {
        fillPattern(blit.target.normalized(), blit.operation);
        return RecordProblem::none();
    }
    const bool isDeviceDependent = kind == RecordFunction::BitBlt || kind == RecordFunction::StretchBlt;
    return placeBitmap(record, isDeviceDependent ? BitmapKind::DeviceDependent : BitmapKind::DeviceIndependent,
                       blit.usage, blit.target, blit.source, blit.operation);
}

RecordProblem RecordPlayer::placeBitmap(Record &record, BitmapKind kind, int usage, const QRectF &target,
                                        const QRectF &source, std::uint32_t rasterOperation)
{
    ByteReader &reader = record.parameters;
    if (m_mode == Mode::Draw) {
        reader.skip(reader.remaining());
        const auto found = m_constData.images.find(record.index);
        if (found != m_constData.images.end())
            drawImage(target, found->second, source, rasterOperation);
        return RecordProblem::none();
    }
    const DibResult decoded = kind == BitmapKind::DeviceDependent
        ? DeviceBitmapDecoder::decode(reader.rest())
        : DibDecoder::decode(reader.rest(),
                             usage == paletteIndexUsage ? ColorUsage::PaletteIndexes : ColorUsage::RgbColors,
                             m_state.palette.colors);
    reader.skip(reader.remaining());
    if (!decoded.error.isEmpty())
        return RecordProblem::damaged(decoded.error);
    m_bitmapPixels += qint64(decoded.image.width()) * decoded.image.height();
    if (m_bitmapPixels > limits::maximumTotalBitmapPixels)
        return RecordProblem::overLimit(
            QStringLiteral("bitmaps hold more than %1 pixels in all").arg(limits::maximumTotalBitmapPixels));
    m_data->images.emplace(record.index, DecodedBitmap{decoded.image, decoded.rowsFromBottom});
    noteBounds(target);
    return RecordProblem::none();
}

void RecordPlayer::drawImage(const QRectF &logicalTarget, const DecodedBitmap &bitmap, QRectF source,
                             std::uint32_t rasterOperation)
{
    if (!preparePainter())
        return;
    const QImage &image = bitmap.image;
    // A bottom-up DIB's source rectangle counts rows from its last row.
    if (bitmap.rowsFromBottom)
        source = QRectF(source.x(), image.height() - source.y() - source.height(), source.width(),
                        source.height());
    source = source.normalized().intersected(QRectF(image.rect()));
    if (source.isEmpty())
        source = image.rect();
    QImage drawn = image;
    // A negative destination width or height mirrors the bitmap, and with
    // it the part of the bitmap the record names.
    const bool mirrorsAcross = logicalTarget.width() < 0;
    const bool mirrorsDown = logicalTarget.height() < 0;
    if (mirrorsAcross || mirrorsDown) {
        drawn = image.mirrored(mirrorsAcross, mirrorsDown);
        if (mirrorsAcross)
            source.moveLeft(image.width() - source.right());
        if (mirrorsDown)
            source.moveTop(image.height() - source.bottom());
    }
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
