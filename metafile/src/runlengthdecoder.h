#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

namespace wmf {

// Expands the run-length compressed pixels of an 8-bit (RLE8) or 4-bit
// (RLE4) device-independent bitmap into an 8-bit indexed image.
//
// The stream is a sequence of two-byte codes, rows bottom first: a count
// above zero repeats its value (RLE4: its two nibbles in turn); a zero count
// is an escape: 0 ends the row, 1 the bitmap, 2 moves right and up by the
// next two bytes, anything else is a run of that many literal pixels, padded
// to a 16-bit boundary. Pixels that the codes skip or never reach stay index
// 0, so every pixel of the image is defined whatever the stream says.
class RunLengthDecoder
{
public:
    struct [[nodiscard]] Result
    {
        QImage image; // Format_Indexed8 without a colour table; null when rejected
        QString error;
    };

    // A run past the end of a row, data past the last row or a move out of
    // the bitmap is an error: the stream is not for a bitmap of this size.
    [[nodiscard]] static Result decode(QByteArrayView stream, int width, int height, int bitsPerPixel);
};

} // namespace wmf
