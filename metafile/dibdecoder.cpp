#include "dibdecoder.h"

#include "bytereader.h"
#include "metafilelimits.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace wmf {

namespace {

// BITMAPINFOHEADER field values.
constexpr std::uint32_t compressionRgb = 0, compressionRle8 = 1, compressionRle4 = 2, compressionBitFields = 3,
                        compressionJpeg = 4, compressionPng = 5;
constexpr std::uint32_t coreHeaderBytes = 12, infoHeaderBytes = 40, largestHeaderBytes = 124;
constexpr qsizetype fileHeaderBytes = 14;
constexpr qsizetype bitFieldMaskBytes = 12;

DibResult failure(const QString &message)
{
    return DibResult{QImage(), message};
}

void appendUInt16(QByteArray &out, quint16 value)
{
    out.append(char(value & 0xFF)).append(char(value >> 8));
}

void appendUInt32(QByteArray &out, quint32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((value >> shift) & 0xFF));
}

QString checkPixelCount(qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0)
        return QStringLiteral("bitmap has no pixels (%1 x %2)").arg(width).arg(height);
    if (width > limits::maximumBitmapSide || height > limits::maximumBitmapSide
        || width * height > limits::maximumBitmapPixels)
        return QStringLiteral("bitmap of %1 x %2 pixels is larger than allowed").arg(width).arg(height);
    return {};
}

DibResult decodeCompressedImage(QByteArrayView bits, const char *format)
{
    QByteArray data = bits.toByteArray();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // Look at the size first so that a small stream claiming a huge image
    // is refused before anything is allocated for it.
    const QSize size = reader.size();
    if (!size.isValid())
        return failure(QStringLiteral("embedded %1 image cannot be read").arg(QLatin1String(format)));
    if (QString problem = checkPixelCount(size.width(), size.height()); !problem.isEmpty())
        return failure(problem);
    QImage image = reader.read();
    if (image.isNull())
        return failure(QStringLiteral("embedded %1 image cannot be decoded").arg(QLatin1String(format)));
    return DibResult{image, QString()};
}

} // namespace

QString DibDecoder::checkRunLengths(QByteArrayView bits, int width, int height, int bitsPerPixel)
{
    ByteReader reader(bits);
    qint64 x = 0;
    qint64 y = 0;
    while (reader.hasRemaining(2)) {
        const int count = reader.readUInt8();
        const int value = reader.readUInt8();
        if (count > 0) {
            if (y >= height)
                return QStringLiteral("run-length data continues past the last row");
            if (x + count > width)
                return QStringLiteral("run-length run of %1 pixels passes the end of a %2-pixel row").arg(count).arg(width);
            x += count;
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return {};
        } else if (value == 2) { // delta
            if (!reader.hasRemaining(2))
                return {};
            x += reader.readUInt8();
            y += reader.readUInt8();
            if (x > width || y > height)
                return QStringLiteral("run-length delta moves outside the bitmap");
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            if (y >= height)
                return QStringLiteral("run-length data continues past the last row");
            if (x + value > width)
                return QStringLiteral("run-length run of %1 pixels passes the end of a %2-pixel row").arg(value).arg(width);
            x += value;
            const qsizetype byteCount = bitsPerPixel == 8 ? value : (value + 1) / 2;
            reader.skip(byteCount + (byteCount & 1));
        }
    }
    return {}; // a stream without its end marker leaves the rest of the bitmap blank
}

DibResult DibDecoder::decode(QByteArrayView dib, ColorUsage usage, const std::vector<QColor> &palette)
{
    ByteReader reader(dib);
    const std::uint32_t headerSize = reader.readUInt32();
    if (!reader.isOk())
        return failure(QStringLiteral("bitmap header is truncated"));
    if (headerSize != coreHeaderBytes && (headerSize < infoHeaderBytes || headerSize > largestHeaderBytes))
        return failure(QStringLiteral("unknown bitmap header size %1").arg(headerSize));
    if (!reader.hasRemaining(qsizetype(headerSize) - 4))
        return failure(QStringLiteral("bitmap header is truncated"));

    const bool isCore = headerSize == coreHeaderBytes;
    qint64 width = 0;
    qint64 height = 0;
    int bitCount = 0;
    std::uint32_t compression = compressionRgb;
    std::uint32_t colorsUsed = 0;
    std::uint32_t imageBytes = 0;
    if (isCore) {
        width = reader.readUInt16();
        height = reader.readUInt16();
        reader.readUInt16(); // planes
        bitCount = reader.readUInt16();
    } else {
        width = reader.readInt32();
        height = reader.readInt32();
        reader.readUInt16(); // planes
        bitCount = reader.readUInt16();
        compression = reader.readUInt32();
        imageBytes = reader.readUInt32();
        reader.readInt32(); // horizontal resolution
        reader.readInt32(); // vertical resolution
        colorsUsed = reader.readUInt32();
        reader.readUInt32(); // important colours
        reader.skip(qsizetype(headerSize) - infoHeaderBytes);
    }
    const bool isTopDown = height < 0;
    const qint64 rows = isTopDown ? -height : height;
    if (QString problem = checkPixelCount(width, rows); !problem.isEmpty())
        return failure(problem);

    if (compression == compressionJpeg || compression == compressionPng)
        return decodeCompressedImage(reader.rest(), compression == compressionJpeg ? "JPEG" : "PNG");

    switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return failure(QStringLiteral("bitmap has an unsupported depth of %1 bits").arg(bitCount));
    }
    const bool isRunLength = compression == compressionRle8 || compression == compressionRle4;
    if (compression == compressionRle8 && bitCount != 8)
        return failure(QStringLiteral("RLE8 bitmap is not 8 bits deep"));
    if (compression == compressionRle4 && bitCount != 4)
        return failure(QStringLiteral("RLE4 bitmap is not 4 bits deep"));
    if (compression == compressionBitFields && bitCount != 16 && bitCount != 32)
        return failure(QStringLiteral("bit-field bitmap must be 16 or 32 bits deep"));
    if (compression > compressionBitFields)
        return failure(QStringLiteral("unsupported bitmap compression %1").arg(compression));
    if (isRunLength && isTopDown)
        return failure(QStringLiteral("run-length bitmaps cannot be stored top-down"));

    QByteArrayView masks;
    if (!isCore && headerSize == infoHeaderBytes && compression == compressionBitFields) {
        masks = reader.readBytes(bitFieldMaskBytes);
        if (!reader.isOk())
            return failure(QStringLiteral("bitmap colour masks are truncated"));
    }

    const qint64 fullTable = bitCount <= 8 ? (qint64(1) << bitCount) : 0;
    qint64 colorCount = bitCount <= 8 ? (colorsUsed > 0 ? qMin<qint64>(colorsUsed, fullTable) : fullTable) : 0;
    const qint64 entryBytes = usage == ColorUsage::PaletteIndexes ? 2 : (isCore ? 3 : 4);
    const qint64 stride = ((width * bitCount + 31) / 32) * 4;
    const qint64 pixelBytes = stride * rows;
    const qint64 available = reader.remaining();
    qint64 tableBytes = colorCount * entryBytes;
    // For true-colour bitmaps an optional table of `colorsUsed` entries may
    // sit before the pixels; skip it when the bytes are there.
    qint64 skippedBytes = 0;
    if (bitCount > 8 && colorsUsed > 0 && qint64(colorsUsed) * 4 + pixelBytes <= available)
        skippedBytes = qint64(colorsUsed) * 4;

    QByteArrayView bits;
    if (isRunLength) {
        if (tableBytes > available)
            return failure(QStringLiteral("bitmap colour table is truncated"));
        bits = dib.sliced(reader.position() + tableBytes);
        if (imageBytes > 0 && imageBytes < quint32(bits.size()))
            bits = bits.first(imageBytes);
        if (QString problem = checkRunLengths(bits, int(width), int(rows), bitCount); !problem.isEmpty())
            return failure(problem);
    } else {
        if (pixelBytes > available)
            return failure(QStringLiteral("bitmap pixels are truncated (%1 of %2 bytes)").arg(available).arg(pixelBytes));
        // Some exporters write fewer colours than the header implies: the
        // pixels end the record, so the table is whatever lies before them.
        if (tableBytes + skippedBytes + pixelBytes > available) {
            tableBytes = ((available - pixelBytes) / entryBytes) * entryBytes;
            skippedBytes = 0;
        }
        bits = dib.sliced(reader.position() + tableBytes + skippedBytes, pixelBytes);
    }

    // Colour table, always written out in full as RGBQUADs.
    QByteArray table;
    table.reserve(colorCount * 4);
    ByteReader tableReader(dib.sliced(reader.position(), tableBytes));
    for (qint64 index = 0; index < colorCount; ++index) {
        QColor color(Qt::black);
        if (tableReader.hasRemaining(entryBytes)) {
            if (usage == ColorUsage::PaletteIndexes) {
                const int paletteIndex = tableReader.readUInt16();
                if (paletteIndex < int(palette.size()))
                    color = palette[paletteIndex];
                else { // without a palette, spread the indexes over a grey ramp
                    const int grey = int(qMin<qint64>(255, paletteIndex * 255 / qMax<qint64>(1, colorCount - 1)));
                    color = QColor(grey, grey, grey);
                }
            } else {
                const int blue = tableReader.readUInt8();
                const int green = tableReader.readUInt8();
                const int red = tableReader.readUInt8();
                if (!isCore)
                    tableReader.readUInt8();
                color = QColor(red, green, blue);
            }
        }
        table.append(char(color.blue())).append(char(color.green())).append(char(color.red())).append('\0');
    }

    QByteArray file;
    const qsizetype infoBytes = isCore ? infoHeaderBytes : headerSize;
    const qsizetype bitsOffset = fileHeaderBytes + infoBytes + masks.size() + table.size();
    file.reserve(bitsOffset + bits.size());
    file.append("BM");
    appendUInt32(file, quint32(bitsOffset + bits.size()));
    appendUInt32(file, 0);
    appendUInt32(file, quint32(bitsOffset));
    if (isCore) {
        appendUInt32(file, infoHeaderBytes);
        appendUInt32(file, quint32(width));
        appendUInt32(file, quint32(height));
        appendUInt16(file, 1);
        appendUInt16(file, quint16(bitCount));
        for (int field = 0; field < 6; ++field)
            appendUInt32(file, 0);
    } else {
        QByteArray header = dib.first(headerSize).toByteArray();
        qToLittleEndian<quint32>(quint32(colorCount), header.data() + 32); // colours used
        qToLittleEndian<quint32>(quint32(bits.size()), header.data() + 20); // image size
        file.append(header);
    }
    file.append(masks.data(), masks.size());
    file.append(table);
    file.append(bits.data(), bits.size());

    QImage image = QImage::fromData(file, "BMP");
    if (image.isNull())
        return failure(QStringLiteral("bitmap of %1 x %2 pixels, %3 bits, cannot be decoded").arg(width).arg(rows).arg(bitCount));
    return DibResult{image, QString()};
}

DibResult DibDecoder::decodeBitmap16(QByteArrayView bitmap)
{
    ByteReader reader(bitmap);
    reader.readInt16(); // type
    const int width = reader.readInt16();
    const int height = reader.readInt16();
    const int widthBytes = reader.readInt16();
    const int planes = reader.readUInt8();
    const int bitsPerPixel = reader.readUInt8();
    if (!reader.isOk())
        return failure(QStringLiteral("bitmap header is truncated"));
    if (QString problem = checkPixelCount(width, height); !problem.isEmpty())
        return failure(problem);
    if (planes != 1 || bitsPerPixel != 1)
        return DibResult{};
    if (widthBytes < (width + 7) / 8)
        return failure(QStringLiteral("bitmap rows of %1 bytes cannot hold %2 pixels").arg(widthBytes).arg(width));
    const QByteArrayView bits = reader.rest();
    if (qint64(widthBytes) * height > bits.size())
        return failure(QStringLiteral("bitmap pixels are truncated"));
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int row = 0; row < height; ++row)
        memcpy(image.scanLine(row), bits.data() + qsizetype(row) * widthBytes, (width + 7) / 8);
    return DibResult{image, QString()};
}

} // namespace wmf
