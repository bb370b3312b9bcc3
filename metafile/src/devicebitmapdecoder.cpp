#include "devicebitmapdecoder.h"

#include "bytereader.h"
#include "metafilelimits.h"

#include <QList>

#include <array>

namespace wmf {

namespace {

DibResult failure(const QString &message)
{
    return DibResult{QImage(), message};
}

// The 16 colours of a 4-bit display, in their hardware order.
constexpr std::array<QRgb, 16> standardColors{
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

// The default 256-colour system palette: ten fixed colours at each end, a
// 6 x 6 x 6 colour cube and a grey ramp between them.
QList<QRgb> systemPalette()
{
    static const QList<QRgb> palette = [] {
        QList<QRgb> colors(256, qRgb(0, 0, 0));
        constexpr std::array<QRgb, 10> low{0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080,
                                           0xFF800080, 0xFF008080, 0xFFC0C0C0, 0xFFC0DCC0, 0xFFA6CAF0};
        constexpr std::array<QRgb, 10> high{0xFFFFFBF0, 0xFFA0A0A4, 0xFF808080, 0xFFFF0000, 0xFF00FF00,
                                            0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
        for (int index = 0; index < 10; ++index) {
            colors[index] = low[index];
            colors[246 + index] = high[index];
        }
        int next = 10;
        for (int red = 0; red < 6; ++red)
            for (int green = 0; green < 6; ++green)
                for (int blue = 0; blue < 6; ++blue)
                    colors[next++] = qRgb(red * 51, green * 51, blue * 51);
        for (int grey = 0; next < 246; ++grey)
            colors[next++] = qRgb(8 + grey * 12, 8 + grey * 12, 8 + grey * 12);
        return colors;
    }();
    return palette;
}

QRgb indexedColor(int bitsPerPixel, int index)
{
    switch (bitsPerPixel) {
    case 1: return index ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    case 4: return standardColors[index & 0x0F];
    default: return systemPalette()[index & 0xFF];
    }
}

// Pixel `x` of a stored row.
QRgb pixelAt(const std::uint8_t *row, int x, int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return indexedColor(1, (row[x / 8] >> (7 - x % 8)) & 1);
    case 4: return indexedColor(4, x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F);
    case 8: return indexedColor(8, row[x]);
    case 16: {
        const int value = row[2 * x] | (row[2 * x + 1] << 8);
        const auto expand = [](int five) { return (five << 3) | (five >> 2); };
        return qRgb(expand((value >> 10) & 0x1F), expand((value >> 5) & 0x1F), expand(value & 0x1F));
    }
    case 24: return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: return qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

// How many bytes a stored row takes, given what is there: the declared
// width when all rows fit, else the rows without padding when the bytes
// are exactly those (and at most one byte that evens the record).
[[nodiscard]] QString storedRowBytes(qint64 declared, qint64 unpadded, qint64 rows, qint64 available,
                                     qint64 &rowBytes)
{
    if (declared * rows <= available) {
        rowBytes = declared;
        return {};
    }
    const qint64 rest = available - unpadded * rows;
    if (rest < 0 || rest > 1)
        return QStringLiteral("bitmap pixels are truncated (%1 of %2 bytes)").arg(available).arg(declared * rows);
    rowBytes = unpadded;
    return {};
}

} // namespace

DibResult DeviceBitmapDecoder::decode(QByteArrayView bitmap)
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
    if (width <= 0 || height <= 0)
        return failure(QStringLiteral("bitmap has no pixels (%1 x %2)").arg(width).arg(height));
    if (qint64(width) * height > limits::maximumBitmapPixels)
        return failure(QStringLiteral("bitmap of %1 x %2 pixels is larger than allowed").arg(width).arg(height));
    if (planes != 1)
        return failure(QStringLiteral("bitmap has %1 colour planes, not 1").arg(planes));
    switch (bitsPerPixel) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return failure(QStringLiteral("bitmap has an unsupported depth of %1 bits").arg(bitsPerPixel));
    }
    const qint64 unpadded = (qint64(width) * bitsPerPixel + 7) / 8;
    if (widthBytes < unpadded)
        return failure(QStringLiteral("bitmap rows of %1 bytes cannot hold %2 pixels").arg(widthBytes).arg(width));
    const QByteArrayView bits = reader.rest();
    qint64 rowBytes = 0;
    if (QString problem = storedRowBytes(widthBytes, unpadded, height, bits.size(), rowBytes); !problem.isEmpty())
        return failure(problem);

    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return failure(QStringLiteral("cannot hold a bitmap of %1 x %2 pixels").arg(width).arg(height));
    const auto *data = reinterpret_cast<const std::uint8_t *>(bits.data());
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const std::uint8_t *row = data + qint64(y) * rowBytes;
        for (int x = 0; x < width; ++x)
            line[x] = pixelAt(row, x, bitsPerPixel);
    }
    return DibResult{image, QString()};
}

} // namespace wmf
