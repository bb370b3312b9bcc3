#pragma once

#include "dibdecoder.h"

#include <QByteArrayView>

namespace wmf {

// Decodes the device-dependent Bitmap16 of old BITBLT, STRETCHBLT and
// CREATEPATTERNBRUSH records: a 10-byte header (type, width, height, bytes
// per row, planes, bits per pixel) and the rows, top first.
//
// Such a bitmap carries no colour table: its pixels meant whatever the
// recording device made of them. Monochrome pixels are black (0) and white
// (1); 4-bit pixels index the standard 16-colour palette and 8-bit pixels
// the default 256-colour system palette; 16-bit pixels are 5-5-5 RGB and
// 24- and 32-bit pixels blue, green, red.
class DeviceBitmapDecoder
{
public:
    static constexpr qsizetype headerBytes = 10;

    // Rows shorter than the header's bytes per row are read as they are
    // when the bytes present are exactly the rows without padding (some
    // writers leave it out); any other shortfall is an error.
    [[nodiscard]] static DibResult decode(QByteArrayView bitmap);
};

} // namespace wmf
