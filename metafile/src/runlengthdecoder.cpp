#include "runlengthdecoder.h"

#include "bytereader.h"

namespace wmf {

namespace {

enum Escape : std::uint8_t { endOfLine = 0, endOfBitmap = 1, delta = 2 };

// Writes pixels into the image's rows, counting rows from the bottom as the
// stream does. The caller has checked that every pixel lies in the image.
class PixelWriter
{
public:
    PixelWriter(QImage &image, int bitsPerPixel) : m_image(image), m_bitsPerPixel(bitsPerPixel) {}

    // Pixel `index` of a run whose byte is `value`: RLE8 repeats the byte,
    // RLE4 alternates its high and low nibbles.
    std::uint8_t pixelOf(std::uint8_t value, int index) const
    {
        if (m_bitsPerPixel == 8)
            return value;
        return index % 2 == 0 ? value >> 4 : value & 0x0F;
    }

    void put(qint64 x, qint64 y, std::uint8_t index)
    {
        m_image.scanLine(int(m_image.height() - 1 - y))[x] = index;
    }

private:
    QImage &m_image;
    int m_bitsPerPixel;
};

QString runPastRow(int count, int width)
{
    return QStringLiteral("run-length run of %1 pixels passes the end of a %2-pixel row").arg(count).arg(width);
}

} // namespace

RunLengthDecoder::Result RunLengthDecoder::decode(QByteArrayView stream, int width, int height, int bitsPerPixel)
{
    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull())
        return {QImage(), QStringLiteral("cannot hold a bitmap of %1 x %2 pixels").arg(width).arg(height)};
    image.fill(0);
    PixelWriter writer(image, bitsPerPixel);
    const auto fail = [](const QString &error) { return Result{QImage(), error}; };

    ByteReader reader(stream);
    qint64 x = 0;
    qint64 y = 0;
    while (reader.hasRemaining(2)) {
        const int count = reader.readUInt8();
        const std::uint8_t value = reader.readUInt8();
        if (count > 0) {
            if (y >= height)
                return fail(QStringLiteral("run-length data continues past the last row"));
            if (x + count > width)
                return fail(runPastRow(count, width));
            for (int pixel = 0; pixel < count; ++pixel)
                writer.put(x + pixel, y, writer.pixelOf(value, pixel));
            x += count;
            continue;
        }
        switch (value) {
        case endOfLine:
            x = 0;
            ++y;
            break;
        case endOfBitmap:
            return {image, QString()};
        case delta:
            if (!reader.hasRemaining(2))
                return {image, QString()};
            x += reader.readUInt8();
            y += reader.readUInt8();
            if (x > width || y > height)
                return fail(QStringLiteral("run-length delta moves outside the bitmap"));
            break;
        default: { // `value` literal pixels, padded to a 16-bit boundary
            if (y >= height)
                return fail(QStringLiteral("run-length data continues past the last row"));
            if (x + value > width)
                return fail(runPastRow(value, width));
            const qsizetype byteCount = bitsPerPixel == 8 ? value : (value + 1) / 2;
            // A literal run cut off by the end of the stream keeps what is there.
            const QByteArrayView literal = reader.rest().first(qMin(byteCount, reader.remaining()));
            const int available = int(bitsPerPixel == 8 ? literal.size() : literal.size() * 2);
            for (int pixel = 0; pixel < qMin<int>(value, available); ++pixel) {
                const std::uint8_t byte = std::uint8_t(literal[bitsPerPixel == 8 ? pixel : pixel / 2]);
                writer.put(x + pixel, y, writer.pixelOf(byte, pixel));
            }
            x += value;
            reader.skip(qMin(byteCount + (byteCount & 1), reader.remaining()));
            break;
        }
        }
    }
    return {image, QString()}; // a stream without its end marker leaves the rest at index 0
}

} // namespace wmf
