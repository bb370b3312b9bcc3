#pragma once

#include <cstdint>

namespace wmf {

// The function numbers of Windows metafile records. The low byte identifies
// the call; the high byte holds the number of 16-bit parameters the original
// GDI call took, which readers must not rely on (the record's own size field
// says how long it is).
enum class RecordFunction : std::uint16_t {
    Eof = 0x0000,
    RealizePalette = 0x0035,
    SetPaletteEntries = 0x0037,
    SetBackgroundMode = 0x0102,
    SetMapMode = 0x0103,
    SetRop2 = 0x0104,
    SetRelAbs = 0x0105,
    SetPolyFillMode = 0x0106,
    SetStretchBltMode = 0x0107,
    SetTextCharExtra = 0x0108,
    SaveDc = 0x001E,
    RestoreDc = 0x0127,
    InvertRegion = 0x012A,
    PaintRegion = 0x012B,
    SelectClipRegion = 0x012C,
    SelectObject = 0x012D,
    SetTextAlign = 0x012E,
    ResizePalette = 0x0139,
    DibCreatePatternBrush = 0x0142,
    SetLayout = 0x0149,
    DeleteObject = 0x01F0,
    CreatePatternBrush = 0x01F9,
    CreatePalette = 0x00F7,
    SetBackgroundColor = 0x0201,
    SetTextColor = 0x0209,
    SetTextJustification = 0x020A,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    SetViewportOrg = 0x020D,
    SetViewportExt = 0x020E,
    OffsetWindowOrg = 0x020F,
    OffsetViewportOrg = 0x0211,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    OffsetClipRegion = 0x0220,
    FillRegion = 0x0228,
    SetMapperFlags = 0x0231,
    SelectPalette = 0x0234,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    Polygon = 0x0324,
    Polyline = 0x0325,
    ScaleWindowExt = 0x0410,
    ScaleViewportExt = 0x0412,
    ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    FloodFill = 0x0419,
    Rectangle = 0x041B,
    SetPixel = 0x041F,
    FrameRegion = 0x0429,
    AnimatePalette = 0x0436,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    ExtFloodFill = 0x0548,
    RoundRect = 0x061C,
    PatBlt = 0x061D,
    Escape = 0x0626,
    CreateRegion = 0x06FF,
    Arc = 0x0817,
    Pie = 0x081A,
    Chord = 0x0830,
    BitBlt = 0x0922,
    DibBitBlt = 0x0940,
    ExtTextOut = 0x0A32,
    StretchBlt = 0x0B23,
    DibStretchBlt = 0x0B41,
    SetDibToDevice = 0x0D33,
    StretchDib = 0x0F43,
};

// The key that opens a placeable metafile (the 22-byte header that carries a
// bounding box and the units per inch in front of the standard header).
inline constexpr std::uint32_t placeableKey = 0x9AC6CDD7u;


// The numbers that records carry for modes and styles, shared by the reader
// and the writer.

// GDI mapping modes.
namespace mapmode {
inline constexpr int text = 1, lowMetric = 2, highMetric = 3, lowEnglish = 4, highEnglish = 5, twips = 6,
                     isotropic = 7, anisotropic = 8;
} // namespace mapmode

// SETBKMODE and SETPOLYFILLMODE.
namespace backgroundmode {
inline constexpr int transparent = 1, opaque = 2;
} // namespace backgroundmode
namespace polyfillmode {
inline constexpr int alternate = 1, winding = 2;
} // namespace polyfillmode

// GDI pen style bits.
namespace penstyle {
inline constexpr int styleMask = 0x000F;
inline constexpr int solid = 0, dash = 1, dot = 2, dashDot = 3, dashDotDot = 4, null = 5, insideFrame = 6,
                     userStyle = 7, alternate = 8;
inline constexpr int endCapMask = 0x0F00;
inline constexpr int endCapRound = 0x0000, endCapSquare = 0x0100, endCapFlat = 0x0200;
inline constexpr int joinMask = 0xF000;
inline constexpr int joinRound = 0x0000, joinBevel = 0x1000, joinMiter = 0x2000;
} // namespace penstyle

// GDI brush styles and hatch patterns.
namespace brushstyle {
inline constexpr int solid = 0, null = 1, hatched = 2, pattern = 3, dibPattern = 5, dibPatternPointer = 6;
inline constexpr int hatchHorizontal = 0, hatchVertical = 1, hatchForwardDiagonal = 2, hatchBackwardDiagonal = 3,
                     hatchCross = 4, hatchDiagonalCross = 5;
} // namespace brushstyle

} // namespace wmf
