#pragma once

#include "recordfunction.h"

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


// GDI brush styles and hatches.

QPen makePen(int style, int width, const QColor &color);
QBrush makeBrush(int style, const QColor &color, int hatch);
// The text encoding name (for QStringDecoder) of a GDI character set.
const char *encodingForCharset(int charset);
QString decodeText(QByteArrayView bytes, int charset);
// The union of many rectangles, merged pairwise so that the time grows as
// n log n whatever order the rectangles come in.
QRegion unitedRectangles(const std::vector<QRect> &rectangles);

} // namespace wmf
