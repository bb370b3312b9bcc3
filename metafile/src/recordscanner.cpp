#include "recordscanner.h"

#include "bytereader.h"
#include "metafilelimits.h"

namespace wmf {

namespace {

// Sizes of the fixed parts of the file, in bytes.
constexpr qsizetype placeableHeaderBytes = 22;
constexpr qsizetype standardHeaderBytes = 18;
// The standard header states its own size in 16-bit words: 9. Some
// exporters count the 11 words of the placeable header as well.
constexpr int standardHeaderWords = 9;
constexpr int headerWordsWithPlaceable = standardHeaderWords + 11;
// A record is at least its 4-byte size and 2-byte function number.
constexpr std::uint32_t minimumRecordWords = 3;
constexpr qsizetype recordPrefixBytes = 6;

ScanResult failure(const QString &message)
{
    return ScanResult{std::nullopt, message};
}

} // namespace

ScanResult RecordScanner::scan(QByteArrayView bytes)
{
    MetafileLayout layout;
    ByteReader reader(bytes);

    if (bytes.size() >= 4) {
        ByteReader keyReader(bytes);
        if (keyReader.readUInt32() == placeableKey) {
            if (bytes.size() < placeableHeaderBytes)
                return failure(QStringLiteral("the placeable header is truncated (%1 of 22 bytes)").arg(bytes.size()));
            layout.isPlaceable = true;
            reader.skip(4);
            const std::uint16_t handle = reader.readUInt16();
            const int left = reader.readInt16();
            const int top = reader.readInt16();
            const int right = reader.readInt16();
            const int bottom = reader.readInt16();
            layout.unitsPerInch = reader.readUInt16();
            const std::uint32_t reserved = reader.readUInt32();
            const std::uint16_t checksum = reader.readUInt16();
            // The checksum is the XOR of the ten 16-bit words before it.
            // Several exporters write it wrong, so a mismatch is only noted.
            std::uint16_t expected = std::uint16_t(placeableKey & 0xFFFF) ^ std::uint16_t(placeableKey >> 16) ^ handle
                ^ std::uint16_t(left) ^ std::uint16_t(top) ^ std::uint16_t(right) ^ std::uint16_t(bottom)
                ^ std::uint16_t(layout.unitsPerInch) ^ std::uint16_t(reserved & 0xFFFF) ^ std::uint16_t(reserved >> 16);
            layout.placeableChecksumMatches = expected == checksum;
            layout.placeableBounds = QRectF(QPointF(left, top), QPointF(right, bottom));
            if (layout.unitsPerInch == 0)
                return failure(QStringLiteral("the placeable header gives 0 units per inch"));
            if (left == right || top == bottom)
                return failure(QStringLiteral("the placeable bounding box is empty (%1,%2 to %3,%4)")
                                   .arg(left).arg(top).arg(right).arg(bottom));
        }
    }

    const qsizetype headerStart = reader.position();
    if (!reader.hasRemaining(standardHeaderBytes))
        return failure(QStringLiteral("the file is too short for a metafile header (%1 bytes)").arg(bytes.size()));
    const std::uint16_t fileType = reader.readUInt16();
    const std::uint16_t headerWords = reader.readUInt16();
    const std::uint16_t version = reader.readUInt16();
    reader.readUInt32(); // file size in words: often wrong, the records are walked instead
    layout.declaredObjectCount = reader.readUInt16();
    reader.readUInt32(); // largest record in words: not needed, every record is bounds-checked
    reader.readUInt16(); // unused parameter count
    if (fileType != 1 && fileType != 2)
        return failure(QStringLiteral("not a Windows metafile (type field %1, expected 1 or 2)").arg(fileType));
    if (headerWords != standardHeaderWords && headerWords != headerWordsWithPlaceable)
        return failure(QStringLiteral("not a Windows metafile (header size %1 words, expected 9)").arg(headerWords));
    if (version != 0x0100 && version != 0x0300)
        return failure(QStringLiteral("unknown metafile version 0x%1").arg(version, 4, 16, QLatin1Char('0')));
    Q_ASSERT(reader.position() == headerStart + standardHeaderBytes);

    bool sawEnd = false;
    while (reader.remaining() > 0) {
        const qsizetype recordStart = reader.position();
        if (!reader.hasRemaining(recordPrefixBytes))
            return failure(QStringLiteral("truncated record at byte %1").arg(recordStart));
        const std::uint32_t sizeWords = reader.readUInt32();
        const std::uint16_t function = reader.readUInt16();
        if (sizeWords < minimumRecordWords)
            return failure(QStringLiteral("record at byte %1 has size %2 words, less than the 3-word minimum")
                               .arg(recordStart).arg(sizeWords));
        // 64-bit arithmetic: a 32-bit word count times two cannot overflow it.
        const qint64 recordBytes = qint64(sizeWords) * 2;
        if (recordBytes > bytes.size() - recordStart)
            return failure(QStringLiteral("record 0x%1 at byte %2 claims %3 bytes, only %4 are left")
                               .arg(function, 4, 16, QLatin1Char('0'))
                               .arg(recordStart).arg(recordBytes).arg(bytes.size() - recordStart));
        if (function == quint16(RecordFunction::Eof)) {
            sawEnd = true;
            break;
        }
        if (int(layout.records.size()) >= limits::maximumRecordCount)
            return failure(QStringLiteral("more than %1 records").arg(limits::maximumRecordCount));
        layout.records.push_back(RecordSpan{function, recordStart + recordPrefixBytes,
                                            qsizetype(recordBytes) - recordPrefixBytes});
        reader.skip(qsizetype(recordBytes) - recordPrefixBytes);
    }
    if (!sawEnd)
        return failure(QStringLiteral("the file ends without an end-of-file record (truncated?)"));
    return ScanResult{std::move(layout), QString()};
}

} // namespace wmf
