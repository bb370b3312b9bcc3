#include "bytereader.h"

namespace wmf {

bool ByteReader::hasRemaining(qsizetype byteCount) const
{
    return byteCount >= 0 && byteCount <= remaining();
}

const std::uint8_t *ByteReader::take(qsizetype byteCount)
{
    if (m_failed || !hasRemaining(byteCount)) {
        m_failed = true;
        m_position = m_bytes.size();
        return nullptr;
    }
    const auto *data = reinterpret_cast<const std::uint8_t *>(m_bytes.data()) + m_position;
    m_position += byteCount;
    return data;
}

std::uint8_t ByteReader::readUInt8()
{
    const std::uint8_t *data = take(1);
    return data ? data[0] : 0;
}

std::uint16_t ByteReader::readUInt16()
{
    const std::uint8_t *data = take(2);
    return data ? std::uint16_t(data[0] | (data[1] << 8)) : 0;
}

std::int16_t ByteReader::readInt16()
{
    return std::int16_t(readUInt16());
}

std::uint32_t ByteReader::readUInt32()
{
    const std::uint8_t *data = take(4);
    if (!data)
        return 0;
    return std::uint32_t(data[0]) | (std::uint32_t(data[1]) << 8) | (std::uint32_t(data[2]) << 16)
        | (std::uint32_t(data[3]) << 24);
}

std::int32_t ByteReader::readInt32()
{
    return std::int32_t(readUInt32());
}

QByteArrayView ByteReader::readBytes(qsizetype byteCount)
{
    const qsizetype start = m_position;
    if (!take(byteCount))
        return {};
    return m_bytes.sliced(start, byteCount);
}

void ByteReader::skip(qsizetype byteCount)
{
    take(byteCount);
}

} // namespace wmf
