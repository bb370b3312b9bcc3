#pragma once

#include <QByteArrayView>
#include <QColor>
#include <QImage>
#include <QString>

#include <vector>

namespace wmf {

// Whether a DIB's colour table holds RGB colours or 16-bit indexes into the
// palette selected in the device context.
enum class ColorUsage { RgbColors, PaletteIndexes };

struct DibResult
{
    QImage image; // null when rejected
    QString error;
};

// Turns the device-independent bitmaps embedded in metafile records into
// QImages. Sizes, colour tables and compressed streams are checked here;
// the pixels are then decoded by Qt's own BMP, JPEG and PNG readers (a
// BITMAPFILEHEADER is put in front of the packed DIB for the BMP reader).
class DibDecoder
{
public:
    static DibResult decode(QByteArrayView packedDib, ColorUsage usage, const std::vector<QColor> &palette);
    // The device-dependent Bitmap16 of old BITBLT, STRETCHBLT and
    // CREATEPATTERNBRUSH records. Only monochrome bitmaps have a meaning
    // without the recording device, so others give an empty image and no error.
    static DibResult decodeBitmap16(QByteArrayView bitmap);
    // Checks that run-length encoded pixels stay inside the image: no run
    // past the end of a row, no row past the last one.
    static QString checkRunLengths(QByteArrayView bits, int width, int height, int bitsPerPixel);
};

} // namespace wmf
