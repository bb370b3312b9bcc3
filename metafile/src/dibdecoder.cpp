#include "dibdecoder.h"

#include "bytereader.h"
#include "metafilelimits.h"
#include "runlengthdecoder.h"

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

// What the bitmap header says, in one place.
struct DibHeader
{
    std::uint32_t size = 0; // bytes of the header itself
    bool isCore = false;    // the old 12-byte BITMAPCOREHEADER
    qint64 width = 0;
    qint64 height = 0; // negative: rows stored top first
    int bitCount = 0;
    std::uint32_t compression = compressionRgb;
    std::uint32_t colorsUsed = 0;
    std::uint32_t imageBytes = 0;

    qint64 rows() const { return height < 0 ? -height : height; }
    bool isTopDown() const { return height < 0; }
    bool isRunLength() const { return compression == compressionRle8 || compression == compressionRle4; }
    bool isIndexed() const { return bitCount <= 8; }
    // Every index a pixel can hold: the colour table always gets this many entries.
    qint64 fullTableSize() const { return isIndexed() ? qint64(1) << bitCount : 0; }
    qint64 paddedRowBytes() const { return ((width * bitCount + 31) / 32) * 4; }
    qint64 unpaddedRowBytes() const { return (width * bitCount + 7) / 8; }
    // The entries the file's colour table holds: as many as it says it
    // uses, at most a full table; all of them when it says none.
    qint64 declaredColors() const
    {
        return colorsUsed > 0 ? qMin<qint64>(colorsUsed, fullTableSize()) : fullTableSize();
    }
    // One entry: a 16-bit palette index, an old RGB triple or an RGB quad.
    qint64 tableEntryBytes(ColorUsage usage) const
    {
        return usage == ColorUsage::PaletteIndexes ? 2 : (isCore ? 3 : 4);
    }
};

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

[[nodiscard]] QString checkPixelCount(qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0)
        return QStringLiteral("bitmap has no pixels (%1 x %2)").arg(width).arg(height);
    if (width > limits::maximumBitmapSide || height > limits::maximumBitmapSide
        || width * height > limits::maximumBitmapPixels)
        return QStringLiteral("bitmap of %1 x %2 pixels is larger than allowed").arg(width).arg(height);
    return {};
}

[[nodiscard]] QString readHeader(ByteReader &reader, DibHeader &header)
{
    header.size = reader.readUInt32();
    if (!reader.isOk())
        return QStringLiteral("bitmap header is truncated");
    if (header.size != coreHeaderBytes && (header.size < infoHeaderBytes || header.size > largestHeaderBytes))
        return QStringLiteral("unknown bitmap header size %1").arg(header.size);
    if (!reader.hasRemaining(qsizetype(header.size) - 4))
        return QStringLiteral("bitmap header is truncated");
    header.isCore = header.size == coreHeaderBytes;
    if (header.isCore) {
        header.width = reader.readUInt16();
        header.height = reader.readUInt16();
        reader.readUInt16(); // planes
        header.bitCount = reader.readUInt16();
        return {};
    }
    header.width = reader.readInt32();
    header.height = reader.readInt32();
    reader.readUInt16(); // planes
    header.bitCount = reader.readUInt16();
    header.compression = reader.readUInt32();
    header.imageBytes = reader.readUInt32();
    reader.readInt32(); // horizontal resolution
    reader.readInt32(); // vertical resolution
    header.colorsUsed = reader.readUInt32();
    reader.readUInt32(); // important colours
    reader.skip(qsizetype(header.size) - infoHeaderBytes);
    return {};
}

// Depth and compression that belong together; sizes within the limits.
[[nodiscard]] QString checkFormat(const DibHeader &header)
{
    switch (header.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return QStringLiteral("bitmap has an unsupported depth of %1 bits").arg(header.bitCount);
    }
    if (header.compression == compressionRle8 && header.bitCount != 8)
        return QStringLiteral("RLE8 bitmap is not 8 bits deep");
    if (header.compression == compressionRle4 && header.bitCount != 4)
        return QStringLiteral("RLE4 bitmap is not 4 bits deep");
    if (header.compression == compressionBitFields && header.bitCount != 16 && header.bitCount != 32)
        return QStringLiteral("bit-field bitmap must be 16 or 32 bits deep");
    if (header.compression > compressionBitFields)
        return QStringLiteral("unsupported bitmap compression %1").arg(header.compression);
    if (header.isRunLength() && header.isTopDown())
        return QStringLiteral("run-length bitmaps cannot be stored top-down");
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
    return DibResult{DibDecoder::withoutIndexes(image), QString()};
}

// The colour table in full: 2^bits entries whatever the file holds, those
// it lacks black. `stored` holds the entries the file has, each entryBytes long.
QList<QRgb> colorTable(QByteArrayView stored, const DibHeader &header, ColorUsage usage,
                       const std::vector<QColor> &palette)
{
    const qint64 entryBytes = header.tableEntryBytes(usage);
    const qint64 declared = header.declaredColors();
    QList<QRgb> table(header.fullTableSize(), qRgb(0, 0, 0));
    ByteReader reader(stored);
    for (qint64 index = 0; index < declared && reader.hasRemaining(entryBytes); ++index) {
        if (usage == ColorUsage::PaletteIndexes) {
            const int paletteIndex = reader.readUInt16();
            if (paletteIndex < int(palette.size())) {
                table[index] = palette[paletteIndex].rgb();
            } else { // without a palette, spread the indexes over a grey ramp
                const int grey = int(qMin<qint64>(255, paletteIndex * 255 / qMax<qint64>(1, declared - 1)));
                table[index] = qRgb(grey, grey, grey);
            }
            continue;
        }
        const int blue = reader.readUInt8();
        const int green = reader.readUInt8();
        const int red = reader.readUInt8();
        if (!header.isCore)
            reader.readUInt8();
        table[index] = qRgb(red, green, blue);
    }
    return table;
}

// Where the colour table and the pixels of an uncompressed bitmap lie after
// the header, and how long a stored row is.
struct PixelLayout
{
    qint64 tableBytes = 0;
    qint64 skippedBytes = 0; // an optional table before true-colour pixels
    qint64 rowBytes = 0;
};

[[nodiscard]] QString locatePixels(const DibHeader &header, qint64 available, qint64 entryBytes, PixelLayout &layout)
{
    layout.tableBytes = header.declaredColors() * entryBytes;
    layout.rowBytes = header.paddedRowBytes();
    const qint64 rows = header.rows();
    qint64 pixelBytes = layout.rowBytes * rows;
    if (pixelBytes > available) {
        // Some writers leave out the row padding. When the bytes left after
        // the colour table are exactly the rows without it (and at most the
        // byte that evens the record), that is what they are; anything
        // shorter is a damaged bitmap.
        const qint64 unpadded = header.unpaddedRowBytes() * rows;
        const qint64 rest = available - layout.tableBytes - unpadded;
        if (rest < 0 || rest > 1)
            return QStringLiteral("bitmap pixels are truncated (%1 of %2 bytes)").arg(available).arg(pixelBytes);
        layout.rowBytes = header.unpaddedRowBytes();
        return {};
    }
    // For true-colour bitmaps an optional table of `colorsUsed` entries may
    // sit before the pixels; skip it when the bytes are there.
    if (!header.isIndexed() && header.colorsUsed > 0 && qint64(header.colorsUsed) * 4 + pixelBytes <= available)
        layout.skippedBytes = qint64(header.colorsUsed) * 4;
    // Some exporters write fewer colours than the header implies: the
    // pixels end the record, so the table is whatever lies before them.
    if (layout.tableBytes + layout.skippedBytes + pixelBytes > available) {
        layout.tableBytes = ((available - pixelBytes) / entryBytes) * entryBytes;
        layout.skippedBytes = 0;
    }
    return {};
}

// Rows as the BMP reader wants them: each padded to 4 bytes.
QByteArray paddedRows(QByteArrayView bits, const DibHeader &header, qint64 storedRowBytes)
{
    const qint64 rowBytes = header.paddedRowBytes();
    if (storedRowBytes == rowBytes)
        return bits.first(rowBytes * header.rows()).toByteArray();
    QByteArray rows(rowBytes * header.rows(), '\0');
    for (qint64 row = 0; row < header.rows(); ++row)
        memcpy(rows.data() + row * rowBytes, bits.data() + row * storedRowBytes, storedRowBytes);
    return rows;
}

// The packed DIB behind a BITMAPFILEHEADER, with the full colour table and
// padded rows, for Qt's BMP reader.
QByteArray bmpFile(QByteArrayView dib, const DibHeader &header, QByteArrayView masks, const QList<QRgb> &table,
                   const QByteArray &pixels)
{
    const qsizetype infoBytes = header.isCore ? infoHeaderBytes : header.size;
    const qsizetype tableBytes = table.size() * 4;
    const qsizetype bitsOffset = fileHeaderBytes + infoBytes + masks.size() + tableBytes;
    QByteArray file;
    file.reserve(bitsOffset + pixels.size());
    file.append("BM");
    appendUInt32(file, quint32(bitsOffset + pixels.size()));
    appendUInt32(file, 0);
    appendUInt32(file, quint32(bitsOffset));
    if (header.isCore) {
        appendUInt32(file, infoHeaderBytes);
        appendUInt32(file, quint32(header.width));
        appendUInt32(file, quint32(header.height));
        appendUInt16(file, 1);
        appendUInt16(file, quint16(header.bitCount));
        for (int field = 0; field < 6; ++field)
            appendUInt32(file, 0);
    } else {
        QByteArray info = dib.first(header.size).toByteArray();
        qToLittleEndian<quint32>(quint32(table.size()), info.data() + 32); // colours used
        qToLittleEndian<quint32>(quint32(pixels.size()), info.data() + 20); // image size
        file.append(info);
    }
    file.append(masks.data(), masks.size());
    for (const QRgb color : table)
        file.append(char(qBlue(color))).append(char(qGreen(color))).append(char(qRed(color))).append('\0');
    file.append(pixels);
    return file;
}

DibResult decodeRunLengths(QByteArrayView dib, qsizetype tableOffset, const DibHeader &header, ColorUsage usage,
                           const std::vector<QColor> &palette)
{
    const qint64 tableBytes = header.declaredColors() * header.tableEntryBytes(usage);
    if (tableBytes > dib.size() - tableOffset)
        return failure(QStringLiteral("bitmap colour table is truncated"));
    QByteArrayView stream = dib.sliced(tableOffset + tableBytes);
    if (header.imageBytes > 0 && header.imageBytes < quint32(stream.size()))
        stream = stream.first(header.imageBytes);
    RunLengthDecoder::Result decoded =
        RunLengthDecoder::decode(stream, int(header.width), int(header.rows()), header.bitCount);
    if (decoded.image.isNull())
        return failure(decoded.error);
    decoded.image.setColorTable(colorTable(dib.sliced(tableOffset, tableBytes), header, usage, palette));
    return DibResult{DibDecoder::withoutIndexes(decoded.image), QString()};
}

} // namespace

QImage DibDecoder::withoutIndexes(QImage image)
{
    const QImage::Format format = image.format();
    const bool isIndexed = format == QImage::Format_Indexed8 || format == QImage::Format_Mono
        || format == QImage::Format_MonoLSB;
    if (!isIndexed)
        return image;
    QList<QRgb> table = image.colorTable();
    table.resize(qsizetype(1) << image.depth(), qRgb(0, 0, 0));
    image.setColorTable(table);
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

DibResult DibDecoder::decode(QByteArrayView dib, ColorUsage usage, const std::vector<QColor> &palette)
{
    ByteReader reader(dib);
    DibHeader header;
    if (QString problem = readHeader(reader, header); !problem.isEmpty())
        return failure(problem);
    if (QString problem = checkPixelCount(header.width, header.rows()); !problem.isEmpty())
        return failure(problem);
    const auto placed = [&header](DibResult result) {
        result.rowsFromBottom = !header.isTopDown();
        return result;
    };
    if (header.compression == compressionJpeg || header.compression == compressionPng)
        return placed(decodeCompressedImage(reader.rest(), header.compression == compressionJpeg ? "JPEG" : "PNG"));
    if (QString problem = checkFormat(header); !problem.isEmpty())
        return failure(problem);

    QByteArrayView masks;
    if (!header.isCore && header.size == infoHeaderBytes && header.compression == compressionBitFields) {
        masks = reader.readBytes(bitFieldMaskBytes);
        if (!reader.isOk())
            return failure(QStringLiteral("bitmap colour masks are truncated"));
    }
    if (header.isRunLength())
        return placed(decodeRunLengths(dib, reader.position(), header, usage, palette));

    const qint64 entryBytes = header.tableEntryBytes(usage);
    PixelLayout layout;
    if (QString problem = locatePixels(header, reader.remaining(), entryBytes, layout); !problem.isEmpty())
        return failure(problem);
    const QByteArrayView stored = reader.rest();
    const QList<QRgb> table = colorTable(stored.first(layout.tableBytes), header, usage, palette);
    const QByteArray pixels =
        paddedRows(stored.sliced(layout.tableBytes + layout.skippedBytes), header, layout.rowBytes);

    const QImage image = QImage::fromData(bmpFile(dib, header, masks, table, pixels), "BMP");
    if (image.isNull())
        return failure(QStringLiteral("bitmap of %1 x %2 pixels, %3 bits, cannot be decoded")
                           .arg(header.width).arg(header.rows()).arg(header.bitCount));
    return placed(DibResult{withoutIndexes(image), QString()});
}

} // namespace wmf
