#include "metafilebuilder.h"

#include <QtEndian>

#include <algorithm>

namespace {

void put16(QByteArray &out, int value)
{
    out.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}

void put32(QByteArray &out, std::uint32_t value)
{
    put16(out, int(value & 0xFFFF));
    put16(out, int(value >> 16));
}

} // namespace

MetafileBuilder::MetafileBuilder(Header header, QRect bounds, int unitsPerInch)
    : m_header(header), m_bounds(bounds), m_unitsPerInch(unitsPerInch)
{
}

MetafileBuilder &MetafileBuilder::setObjectCount(int count)
{
    m_objectCount = count;
    return *this;
}

QByteArray MetafileBuilder::words(std::initializer_list<int> values)
{
    QByteArray out;
    for (int value : values)
        put16(out, value);
    return out;
}

QByteArray MetafileBuilder::colorReference(QColor color)
{
    QByteArray out;
    out.append(char(color.red())).append(char(color.green())).append(char(color.blue())).append('\0');
    return out;
}

MetafileBuilder &MetafileBuilder::record(std::uint16_t function, std::initializer_list<int> values)
{
    return rawRecord(function, words(values));
}

MetafileBuilder &MetafileBuilder::rawRecord(std::uint16_t function, const QByteArray &parameters)
{
    QByteArray padded = parameters;
    if (padded.size() % 2)
        padded.append('\0');
    return recordWithSize(std::uint32_t(3 + padded.size() / 2), function, padded);
}

MetafileBuilder &MetafileBuilder::recordWithSize(std::uint32_t sizeWords, std::uint16_t function, const QByteArray &parameters)
{
    put32(m_records, sizeWords);
    put16(m_records, function);
    m_records.append(parameters);
    return *this;
}

MetafileBuilder &MetafileBuilder::setWindow(int x, int y, int width, int height)
{
    record(0x020B, {y, x});
    return record(0x020C, {height, width});
}

MetafileBuilder &MetafileBuilder::createPen(int style, int width, QColor color)
{
    return rawRecord(0x02FA, words({style, width, 0}) + colorReference(color));
}

MetafileBuilder &MetafileBuilder::createBrush(int style, QColor color, int hatch)
{
    return rawRecord(0x02FC, words({style}) + colorReference(color) + words({hatch}));
}

MetafileBuilder &MetafileBuilder::createFont(int height, const QByteArray &face, int weight, int charset, int escapement)
{
    QByteArray parameters = words({height, 0, escapement, escapement, weight});
    parameters.append(char(0)).append(char(0)).append(char(0)).append(char(charset));
    parameters.append(QByteArray(4, '\0'));
    parameters.append(face.left(31)).append('\0');
    return rawRecord(0x02FB, parameters);
}

MetafileBuilder &MetafileBuilder::selectObject(int index)
{
    return record(0x012D, {index});
}

MetafileBuilder &MetafileBuilder::deleteObject(int index)
{
    return record(0x01F0, {index});
}

MetafileBuilder &MetafileBuilder::rectangle(QRect rect)
{
    return record(0x041B, {rect.bottom() + 1, rect.right() + 1, rect.top(), rect.left()});
}

MetafileBuilder &MetafileBuilder::ellipse(QRect rect)
{
    return record(0x0418, {rect.bottom() + 1, rect.right() + 1, rect.top(), rect.left()});
}

MetafileBuilder &MetafileBuilder::polygon(const QList<QPoint> &points, std::uint16_t function)
{
    QByteArray parameters = words({int(points.size())});
    for (const QPoint &point : points)
        parameters += words({point.x(), point.y()});
    return rawRecord(function, parameters);
}

MetafileBuilder &MetafileBuilder::textOut(QPoint origin, const QByteArray &text)
{
    QByteArray parameters = words({int(text.size())}) + text;
    if (text.size() % 2)
        parameters.append('\0');
    return rawRecord(0x0521, parameters + words({origin.y(), origin.x()}));
}

MetafileBuilder &MetafileBuilder::stretchDib(QRect target, const QByteArray &dib, std::uint32_t rasterOperation)
{
    QByteArray parameters;
    put32(parameters, rasterOperation);
    // usage, source height, width, y, x, destination height, width, y, x
    parameters += words({0, 0, 0, 0, 0, target.height(), target.width(), target.y(), target.x()});
    // The source size is filled in from the DIB header.
    const int width = qFromLittleEndian<qint32>(dib.constData() + 4);
    const int height = qAbs(qFromLittleEndian<qint32>(dib.constData() + 8));
    qToLittleEndian<qint16>(qint16(height), parameters.data() + 6);
    qToLittleEndian<qint16>(qint16(width), parameters.data() + 8);
    return rawRecord(0x0F43, parameters + dib);
}

QByteArray MetafileBuilder::dib(int width, int height, int bitCount, const QList<QColor> &colors,
                                const QList<QByteArray> &rowsTopFirst, std::uint32_t compression, bool topDown)
{
    // BITMAPINFOHEADER: size, width, height, planes, depth, compression,
    // image size, resolution x and y, colours used, colours important.
    QByteArray out;
    for (std::uint32_t value : {40u, std::uint32_t(width), std::uint32_t(topDown ? -height : height)})
        put32(out, value);
    out += words({1, bitCount});
    for (std::uint32_t value : {compression, 0u, 0u, 0u, std::uint32_t(colors.size()), 0u})
        put32(out, value);
    for (const QColor &color : colors)
        out.append(char(color.blue())).append(char(color.green())).append(char(color.red())).append('\0');
    QList<QByteArray> rows = rowsTopFirst;
    if (!topDown && compression == 0)
        std::reverse(rows.begin(), rows.end());
    for (QByteArray row : rows) {
        // Run-length data is given as one stream, and is not padded.
        while (compression == 0 && row.size() % 4)
            row.append('\0');
        out.append(row);
    }
    return out;
}

QByteArray MetafileBuilder::bytes(Ending ending) const
{
    QByteArray out;
    if (m_header == Header::Placeable) {
        // Key, handle, bounding box, units per inch, reserved, checksum of the ten words before it.
        out = words({0xCDD7, 0x9AC6, 0, m_bounds.left(), m_bounds.top(), m_bounds.right() + 1, m_bounds.bottom() + 1,
                     m_unitsPerInch, 0, 0});
        std::uint16_t checksum = 0;
        for (int word = 0; word < 10; ++word)
            checksum ^= qFromLittleEndian<quint16>(out.constData() + 2 * word);
        put16(out, checksum);
    }
    QByteArray records = m_records;
    if (ending == Ending::WithEndRecord)
        records += words({3, 0, 0});
    // Type (in memory), header words, version, file size in words, object count, largest record, unused.
    out += words({1, 9, 0x0300});
    put32(out, std::uint32_t(9 + records.size() / 2));
    out += words({m_objectCount, 0, 0, 0});
    return out + records;
}
