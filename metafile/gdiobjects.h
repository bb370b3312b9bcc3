#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPen>
#include <QRegion>

#include <variant>
#include <vector>

namespace wmf {

// A GDI font as the metafile describes it. The height stays in logical units
// because the size on screen depends on the mapping in force when text is
// drawn, not when the font was created.
struct LogicalFont
{
    QFont font;
    int height = 0;     // negative: character height; positive: cell height (with internal leading)
    int escapement = 0; // tenths of a degree, counter-clockwise
    int charset = 0;
};

struct Palette
{
    std::vector<QColor> colors;
};

// A region as rectangles in the logical units it was created in (GDI
// regions are integer rectangle lists too).
struct Region
{
    QRegion area;
};

// Everything a metafile can put into its object table. Pens, brushes and
// fonts are copied by value into the graphics state when selected, so
// deleting or replacing a table entry can never leave the state dangling.
using GdiObject = std::variant<QPen, QBrush, LogicalFont, Palette, Region>;

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

// GDI brush styles and hatches.
namespace brushstyle {
inline constexpr int solid = 0, null = 1, hatched = 2, pattern = 3, dibPattern = 5, dibPatternPointer = 6;
inline constexpr int hatchHorizontal = 0, hatchVertical = 1, hatchForwardDiagonal = 2, hatchBackwardDiagonal = 3,
                     hatchCross = 4, hatchDiagonalCross = 5;
} // namespace brushstyle

QPen makePen(int style, int width, const QColor &color);
QBrush makeBrush(int style, const QColor &color, int hatch);
// The text encoding name (for QStringDecoder) of a GDI character set.
const char *encodingForCharset(int charset);
QString decodeText(QByteArrayView bytes, int charset);
// The union of many rectangles, merged pairwise so that the time grows as
// n log n whatever order the rectangles come in.
QRegion unitedRectangles(const std::vector<QRect> &rectangles);

} // namespace wmf
