#pragma once

#include "recordproblem.h"
#include "recordscanner.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>

#include <unordered_map>
#include <vector>

namespace wmf {

// A bitmap decoded while a picture is read. A record's source rectangle
// counts rows from the bottom in a bottom-up DIB and from the top in a
// top-down DIB or a device-dependent bitmap.
struct DecodedBitmap
{
    QImage image;
    bool rowsFromBottom = false;
};

// Bitmaps keyed by the index of the record that holds them, so that
// repainting never decodes again.
using ImageCache = std::unordered_map<int, DecodedBitmap>;

// The parsed, immutable content of a picture, shared by every copy.
struct PictureData
{
    QByteArray bytes;
    MetafileLayout layout;
    // Device units are the logical units of the first window the file sets
    // (or of its placeable box), with both axes pointing right and down.
    QSizeF referenceExtent{1, 1};
    QRectF frame;      // the picture's area in device units
    QSizeF naturalSize; // pixels at 96 DPI
    ImageCache images;
    int skippedRecordCount = 0;
    // Records found damaged while reading, by index: drawing passes them by.
    std::vector<bool> damagedRecords;
    // Every record skipped with a reason worth telling (damaged or unknown).
    std::vector<RecordWarning> warnings;
    int unlistedWarningCount = 0; // skipped with a reason past the listed ones

    bool isDamaged(int recordIndex) const
    {
        return recordIndex < int(damagedRecords.size()) && damagedRecords[recordIndex];
    }
};

} // namespace wmf
