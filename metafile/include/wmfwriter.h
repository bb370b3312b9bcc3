#pragma once

#include "recordfunction.h"

#include <QByteArray>
#include <QColor>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace wmf {

// Builds a placeable Windows metafile in memory, record by record.
//
// The output is a 22-byte placeable header (bounding box and units per inch),
// the 18-byte standard header, the records in the order they were added and
// the closing EOF record. Everything is little-endian and depends only on the
// calls made, so the same drawing always gives the same bytes.
//
// Coordinates are 16-bit in the file. A coordinate or count that does not
// fit is clamped and the writer remembers it: isValid() then returns false.
// Rectangles follow GDI: the far edges are at x + width and y + height.
class Writer
{
public:
    // Logical units per inch of the placeable header: twips, the unit most
    // producers of placeable metafiles use.
    static constexpr std::uint16_t twipsPerInch = 1440;

    enum class MapMode : std::uint16_t {
        Text = mapmode::text,
        LowMetric = mapmode::lowMetric,
        HighMetric = mapmode::highMetric,
        LowEnglish = mapmode::lowEnglish,
        HighEnglish = mapmode::highEnglish,
        Twips = mapmode::twips,
        Isotropic = mapmode::isotropic,
        Anisotropic = mapmode::anisotropic,
    };
    enum class BackgroundMode : std::uint16_t {
        Transparent = backgroundmode::transparent,
        Opaque = backgroundmode::opaque,
    };
    enum class PolyFillMode : std::uint16_t {
        Alternate = polyfillmode::alternate,
        Winding = polyfillmode::winding,
    };
    enum class PenStyle : std::uint16_t {
        Solid = penstyle::solid,
        Dash = penstyle::dash,
        Dot = penstyle::dot,
        DashDot = penstyle::dashDot,
        DashDotDot = penstyle::dashDotDot,
        Null = penstyle::null,
        InsideFrame = penstyle::insideFrame,
    };
    enum class BrushStyle : std::uint16_t {
        Solid = brushstyle::solid,
        Null = brushstyle::null,
        Hatched = brushstyle::hatched,
    };
    enum class HatchStyle : std::uint16_t {
        Horizontal = brushstyle::hatchHorizontal,
        Vertical = brushstyle::hatchVertical,
        ForwardDiagonal = brushstyle::hatchForwardDiagonal,
        BackwardDiagonal = brushstyle::hatchBackwardDiagonal,
        Cross = brushstyle::hatchCross,
        DiagonalCross = brushstyle::hatchDiagonalCross,
    };

    // Index of a graphics object in the metafile's object table.
    using ObjectIndex = std::uint16_t;

    explicit Writer(const QRect &boundingBox, std::uint16_t unitsPerInch = twipsPerInch);

    void setWindowOrigin(const QPoint &origin);
    void setWindowExtent(const QSize &extent);
    void setMapMode(MapMode mode);
    void setBackgroundMode(BackgroundMode mode);
    void setPolyFillMode(PolyFillMode mode);

    // Objects take the lowest free slot of the object table, as a GDI player
    // assigns them, so the returned index is what SELECTOBJECT refers to.
    ObjectIndex createPen(PenStyle style, int width, const QColor &color);
    ObjectIndex createBrush(BrushStyle style, const QColor &color,
                            HatchStyle hatch = HatchStyle::Horizontal);
    void selectObject(ObjectIndex index);
    void deleteObject(ObjectIndex index);

    void drawPolygon(const QPolygon &polygon);
    void drawPolyline(const QPolygon &polyline);
    void drawEllipse(const QRect &bounds);
    void drawRectangle(const QRect &rectangle);
    void drawRoundedRectangle(const QRect &rectangle, const QSize &cornerEllipse);

    bool isValid() const { return m_valid; }
    int recordCount() const { return m_recordCount; }

    // The complete file: headers, records so far and the EOF record.
    QByteArray toByteArray() const;

private:
    void appendRecord(RecordFunction function, std::initializer_list<std::uint16_t> parameters);
    void appendPointsRecord(RecordFunction function, const QPolygon &points);
    void beginRecord(RecordFunction function, std::uint32_t parameterWords);
    std::uint16_t coordinate(int value);
    ObjectIndex claimObjectSlot();
    void appendRectangle(const QRect &rectangle);

    QRect m_boundingBox;
    std::uint16_t m_unitsPerInch;
    std::vector<std::uint16_t> m_records;
    std::vector<bool> m_objectSlotInUse;
    std::uint32_t m_largestRecordWords = 0;
    int m_recordCount = 0;
    bool m_valid = true;
};

} // namespace wmf
