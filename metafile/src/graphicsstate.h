#pragma once

#include "gdiobjects.h"

#include <QRegion>
#include <QPointF>
#include <QSizeF>

#include <optional>

namespace wmf {


// GDI binary raster operations used for pens and brushes.
namespace rop2 {
inline constexpr int black = 1, notMergePen = 2, maskNotPen = 3, notCopyPen = 4, maskPenNot = 5, invert = 6,
                     xorPen = 7, notMaskPen = 8, maskPen = 9, notXorPen = 10, noOperation = 11, mergeNotPen = 12,
                     copyPen = 13, mergePenNot = 14, mergePen = 15, white = 16;
} // namespace rop2

// Text alignment flags.
namespace textalign {
inline constexpr int updateCurrentPosition = 0x0001;
inline constexpr int horizontalMask = 0x0006, left = 0x0000, right = 0x0002, center = 0x0006;
inline constexpr int verticalMask = 0x0018, top = 0x0000, bottom = 0x0008, baseline = 0x0018;
} // namespace textalign

// One device context: what SAVEDC copies and RESTOREDC puts back. Pen,
// brush, font and palette are held by value, so objects deleted after they
// were selected (or after a SAVEDC) still draw as they were.
struct GraphicsState
{
    QPen pen{QColor(Qt::black), 0};
    QBrush brush{QColor(Qt::white)};
    LogicalFont font;
    Palette palette;
    QColor textColor{Qt::black};
    QColor backgroundColor{Qt::white};
    bool isBackgroundOpaque = true;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    int rasterOperation = rop2::copyPen;
    int textAlign = 0;
    int textCharacterExtra = 0;
    int mapMode = mapmode::text;
    QPointF windowOrigin;
    QSizeF windowExtent;
    QPointF viewportOrigin;
    QSizeF viewportExtent;
    QPointF currentPosition;
    // Like GDI's clip region, rectangles in device space; scaled by the
    // player's clip scale so that whole numbers keep sub-pixel precision.
    // Rectangle lists combine in linear time, unlike general paths.
    std::optional<QRegion> clip;
    // Set by the line cap, line join and miter limit escapes; they override
    // the pen's own for later drawing.
    std::optional<Qt::PenCapStyle> escapeCapStyle;
    std::optional<Qt::PenJoinStyle> escapeJoinStyle;
    std::optional<qreal> escapeMiterLimit;
};

} // namespace wmf
