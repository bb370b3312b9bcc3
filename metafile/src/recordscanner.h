#pragma once

#include "recordfunction.h"

#include <QByteArrayView>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace wmf {

// Where one record's parameters lie in the file. The record's size field
// decides where the next record starts, whatever a handler reads.
struct RecordSpan
{
    std::uint16_t function = 0;
    qsizetype parameterOffset = 0; // bytes from the start of the file
    qsizetype parameterSize = 0;   // bytes of parameters (size field minus the 6-byte prefix)
};

// What the two headers of a metafile say.
struct MetafileLayout
{
    bool isPlaceable = false;
    QRectF placeableBounds;       // from (left, top) to (right, bottom) as stored, logical units
    int unitsPerInch = 0;
    bool placeableChecksumMatches = true;
    int declaredObjectCount = 0;
    std::vector<RecordSpan> records; // not including the end-of-file record
};

struct [[nodiscard]] ScanResult
{
    std::optional<MetafileLayout> layout;
    QString error;
};

// Splits a metafile into its headers and records without interpreting any
// record. Rejects anything whose structure cannot be trusted: truncation,
// record sizes that cannot hold the record prefix or run past the end, a
// missing end-of-file record, absurd counts.
class RecordScanner
{
public:
    static ScanResult scan(QByteArrayView bytes);
};

} // namespace wmf
