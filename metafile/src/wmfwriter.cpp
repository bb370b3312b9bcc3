#include "wmfwriter.h"

#include <algorithm>
#include <limits>

namespace wmf {

namespace {

// A record starts with its size in 16-bit words (32 bits) and its function
// number (16 bits): three words before the parameters.
constexpr std::uint32_t recordHeaderWords = 3;
// The standard header is nine words long whatever the file holds.
constexpr std::uint16_t standardHeaderWords = 9;
// Type 1 is a metafile held in memory (as opposed to one on disk that
// refers to itself by name); it is what every file-based producer writes.
constexpr std::uint16_t memoryMetafileType = 1;
// Version 3.0 of the format, the one that knows device-independent bitmaps.
constexpr std::uint16_t metafileVersion = 0x0300;
// The placeable header's checksum covers its first ten words.
constexpr int placeableChecksumWords = 10;
// POLYGON and POLYLINE store the point count in a signed 16-bit word.
constexpr int maximumPointCount = std::numeric_limits<std::int16_t>::max();

void appendWord(QByteArray &bytes, std::uint16_t word)
{
    bytes.append(char(word & 0xFF));
    bytes.append(char(word >> 8));
}

void appendDoubleWord(QByteArray &bytes, std::uint32_t value)
{
    appendWord(bytes, std::uint16_t(value & 0xFFFF));
    appendWord(bytes, std::uint16_t(value >> 16));
}

// COLORREF: red in the lowest byte, then green and blue, the top byte zero.
std::uint32_t colorReference(const QColor &color)
{
    const QRgb rgb = color.rgb();
    return std::uint32_t(qRed(rgb)) | (std::uint32_t(qGreen(rgb)) << 8)
        | (std::uint32_t(qBlue(rgb)) << 16);
}

} // namespace

Writer::Writer(const QRect &boundingBox, std::uint16_t unitsPerInch)
    : m_boundingBox(boundingBox)
    , m_unitsPerInch(unitsPerInch)
{
    // The box is stored as four 16-bit coordinates too.
    coordinate(boundingBox.x());
    coordinate(boundingBox.y());
    coordinate(boundingBox.x() + boundingBox.width());
    coordinate(boundingBox.y() + boundingBox.height());
}

void Writer::setWindowOrigin(const QPoint &origin)
{
    // GDI's parameter order is reversed: y comes first.
    appendRecord(RecordFunction::SetWindowOrg, {coordinate(origin.y()), coordinate(origin.x())});
}

void Writer::setWindowExtent(const QSize &extent)
{
    appendRecord(RecordFunction::SetWindowExt,
                 {coordinate(extent.height()), coordinate(extent.width())});
}

void Writer::setMapMode(MapMode mode)
{
    appendRecord(RecordFunction::SetMapMode, {std::uint16_t(mode)});
}

void Writer::setBackgroundMode(BackgroundMode mode)
{
    appendRecord(RecordFunction::SetBackgroundMode, {std::uint16_t(mode)});
}

void Writer::setPolyFillMode(PolyFillMode mode)
{
    appendRecord(RecordFunction::SetPolyFillMode, {std::uint16_t(mode)});
}

Writer::ObjectIndex Writer::createPen(PenStyle style, int width, const QColor &color)
{
    const std::uint32_t colour = colorReference(color);
    // LOGPEN: style, width as a point (only x counts), colour.
    appendRecord(RecordFunction::CreatePenIndirect,
                 {std::uint16_t(style), coordinate(width), 0, std::uint16_t(colour & 0xFFFF),
                  std::uint16_t(colour >> 16)});
    return claimObjectSlot();
}

Writer::ObjectIndex Writer::createBrush(BrushStyle style, const QColor &color, HatchStyle hatch)
{
    const std::uint32_t colour = colorReference(color);
    // LOGBRUSH: style, colour, hatch.
    appendRecord(RecordFunction::CreateBrushIndirect,
                 {std::uint16_t(style), std::uint16_t(colour & 0xFFFF), std::uint16_t(colour >> 16),
                  std::uint16_t(hatch)});
    return claimObjectSlot();
}

Writer::ObjectIndex Writer::claimObjectSlot()
{
    const auto freeSlot = std::find(m_objectSlotInUse.begin(), m_objectSlotInUse.end(), false);
    const auto index = ObjectIndex(freeSlot - m_objectSlotInUse.begin());
    if (freeSlot == m_objectSlotInUse.end())
        m_objectSlotInUse.push_back(true);
    else
        *freeSlot = true;
    return index;
}

void Writer::selectObject(ObjectIndex index)
{
    if (index >= m_objectSlotInUse.size() || !m_objectSlotInUse[index])
        m_valid = false;
    appendRecord(RecordFunction::SelectObject, {index});
}

void Writer::deleteObject(ObjectIndex index)
{
    if (index >= m_objectSlotInUse.size() || !m_objectSlotInUse[index])
        m_valid = false;
    else
        m_objectSlotInUse[index] = false;
    appendRecord(RecordFunction::DeleteObject, {index});
}

void Writer::drawPolygon(const QPolygon &polygon)
{
    appendPointsRecord(RecordFunction::Polygon, polygon);
}

void Writer::drawPolyline(const QPolygon &polyline)
{
    appendPointsRecord(RecordFunction::Polyline, polyline);
}

void Writer::drawEllipse(const QRect &bounds)
{
    beginRecord(RecordFunction::Ellipse, 4);
    appendRectangle(bounds);
}

void Writer::drawRectangle(const QRect &rectangle)
{
    beginRecord(RecordFunction::Rectangle, 4);
    appendRectangle(rectangle);
}

void Writer::drawRoundedRectangle(const QRect &rectangle, const QSize &cornerEllipse)
{
    beginRecord(RecordFunction::RoundRect, 6);
    m_records.push_back(coordinate(cornerEllipse.height()));
    m_records.push_back(coordinate(cornerEllipse.width()));
    appendRectangle(rectangle);
}

QByteArray Writer::toByteArray() const
{
    constexpr std::uint32_t eofWords = recordHeaderWords;
    const std::uint32_t totalWords =
        standardHeaderWords + std::uint32_t(m_records.size()) + eofWords;
    constexpr int placeableHeaderBytes = 22;

    QByteArray bytes;
    bytes.reserve(placeableHeaderBytes + int(totalWords) * 2);

    // Placeable header; the checksum is the XOR of the ten words before it.
    const std::uint16_t placeableWords[placeableChecksumWords] = {
        std::uint16_t(placeableKey & 0xFFFF),
        std::uint16_t(placeableKey >> 16),
        0, // handle, always zero on disk
        std::uint16_t(std::int16_t(m_boundingBox.x())),
        std::uint16_t(std::int16_t(m_boundingBox.y())),
        std::uint16_t(std::int16_t(m_boundingBox.x() + m_boundingBox.width())),
        std::uint16_t(std::int16_t(m_boundingBox.y() + m_boundingBox.height())),
        m_unitsPerInch,
        0, // reserved
        0,
    };
    std::uint16_t checksum = 0;
    for (const std::uint16_t word : placeableWords) {
        appendWord(bytes, word);
        checksum ^= word;
    }
    appendWord(bytes, checksum);

    // Standard header.
    const std::uint16_t objectCount = std::uint16_t(m_objectSlotInUse.size());
    appendWord(bytes, memoryMetafileType);
    appendWord(bytes, standardHeaderWords);
    appendWord(bytes, metafileVersion);
    appendDoubleWord(bytes, totalWords);
    appendWord(bytes, objectCount);
    appendDoubleWord(bytes, std::max(m_largestRecordWords, eofWords));
    appendWord(bytes, 0); // number of members, unused

    for (const std::uint16_t word : m_records)
        appendWord(bytes, word);

    appendDoubleWord(bytes, eofWords);
    appendWord(bytes, std::uint16_t(RecordFunction::Eof));
    return bytes;
}

void Writer::appendRecord(RecordFunction function, std::initializer_list<std::uint16_t> parameters)
{
    beginRecord(function, std::uint32_t(parameters.size()));
    m_records.insert(m_records.end(), parameters.begin(), parameters.end());
}

void Writer::appendPointsRecord(RecordFunction function, const QPolygon &points)
{
    const int count = std::min(int(points.size()), maximumPointCount);
    if (count != points.size())
        m_valid = false;
    beginRecord(function, 1 + 2 * std::uint32_t(count));
    m_records.push_back(std::uint16_t(count));
    for (int i = 0; i < count; ++i) {
        m_records.push_back(coordinate(points[i].x()));
        m_records.push_back(coordinate(points[i].y()));
    }
}

void Writer::beginRecord(RecordFunction function, std::uint32_t parameterWords)
{
    const std::uint32_t words = recordHeaderWords + parameterWords;
    m_largestRecordWords = std::max(m_largestRecordWords, words);
    m_records.push_back(std::uint16_t(words & 0xFFFF));
    m_records.push_back(std::uint16_t(words >> 16));
    m_records.push_back(std::uint16_t(function));
    ++m_recordCount;
}

std::uint16_t Writer::coordinate(int value)
{
    constexpr int lowest = std::numeric_limits<std::int16_t>::min();
    constexpr int highest = std::numeric_limits<std::int16_t>::max();
    if (value < lowest || value > highest) {
        m_valid = false;
        value = std::clamp(value, lowest, highest);
    }
    return std::uint16_t(std::int16_t(value));
}

void Writer::appendRectangle(const QRect &rectangle)
{
    // Rectangle parameters run bottom, right, top, left.
    m_records.push_back(coordinate(rectangle.y() + rectangle.height()));
    m_records.push_back(coordinate(rectangle.x() + rectangle.width()));
    m_records.push_back(coordinate(rectangle.y()));
    m_records.push_back(coordinate(rectangle.x()));
}

} // namespace wmf
