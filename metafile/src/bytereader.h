#pragma once

#include <QByteArrayView>

#include <cstdint>

namespace wmf {

// Reads little-endian values from a bounded span of bytes. Every read is
// checked against the end of the span: reading past it returns zero and
// marks the reader as failed, so a handler can decode a whole record and
// check once at the end instead of after every field.
class ByteReader
{
public:
    explicit ByteReader(QByteArrayView bytes) : m_bytes(bytes) {}

    qsizetype position() const { return m_position; }
    qsizetype remaining() const { return m_bytes.size() - m_position; }
    qsizetype size() const { return m_bytes.size(); }
    bool isOk() const { return !m_failed; }
    bool hasRemaining(qsizetype byteCount) const;

    std::uint8_t readUInt8();
    std::uint16_t readUInt16();
    std::int16_t readInt16();
    std::uint32_t readUInt32();
    std::int32_t readInt32();
    // A view of the next byteCount bytes; an empty view (and failure) if fewer are left.
    QByteArrayView readBytes(qsizetype byteCount);
    // The bytes from the current position to the end of the span.
    QByteArrayView rest() const { return m_bytes.sliced(m_position); }
    void skip(qsizetype byteCount);

private:
    const std::uint8_t *take(qsizetype byteCount);

    QByteArrayView m_bytes;
    qsizetype m_position = 0;
    bool m_failed = false;
};

} // namespace wmf
