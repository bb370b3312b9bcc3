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

struct [[nodiscard]] DibResult
{
    QImage image; // null when rejected
    QString error;
    // A DIB stores its rows bottom first unless its height is negative.
    bool rowsFromBottom = false;
};

// Turns the device-independent bitmaps embedded in metafile records into
// QImages. Sizes, colour tables and compressed streams are checked here.
// Uncompressed pixels are decoded by Qt's BMP reader (a BITMAPFILEHEADER is
// put in front of the packed DIB), run-length pixels here, JPEG and PNG
// streams by Qt's readers.
//
// Every image handed on is fully defined and carries no colour indexes:
// indexed results are expanded to 32-bit colour through a colour table of
// 2^bits entries, so no later copy, mirror, inversion or paint can look a
// colour up outside its table.
class DibDecoder
{
public:
    [[nodiscard]] static DibResult decode(QByteArrayView packedDib, ColorUsage usage,
                                          const std::vector<QColor> &palette);

    // An indexed or monochrome image as 32-bit colour, its table first
    // padded to cover every index a pixel can hold; other images unchanged.
    [[nodiscard]] static QImage withoutIndexes(QImage image);
};

} // namespace wmf
