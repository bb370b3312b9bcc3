#pragma once

#include <QtGlobal>

namespace wmf::limits {

// A metafile from disk larger than this is refused before it is read. The
// lab's charge pictures are a few kilobytes; even drawings with embedded
// photographs stay far below this.
inline constexpr qint64 maximumFileBytes = 64 * 1024 * 1024;

// More records than this cannot be replayed on every repaint at interactive
// speed, and no drawing a person made needs them.
inline constexpr int maximumRecordCount = 500'000;
// Skipped records told one by one; the rest are counted.
inline constexpr int maximumListedWarnings = 1'000;


// GDI keeps saved device contexts on a stack without a documented limit;
// real drawings nest a handful deep. A deeper stack means a broken or
// hostile file, and each level holds a copy of the whole graphics state.
inline constexpr int maximumSaveDepth = 1024;

// The object table is indexed by 16-bit numbers in the file.
inline constexpr int maximumObjectCount = 65'535;

// The picture's own size at 96 DPI. QImage and the picture box cannot use a
// larger one, so a bigger box or extent is a damaged header.
inline constexpr double maximumNaturalSidePixels = 16'384.0;

// One embedded bitmap may hold at most this many pixels (64 MiB as ARGB32),
// and all bitmaps of one picture together at most the second figure.
inline constexpr qint64 maximumBitmapPixels = 16 * 1024 * 1024;
inline constexpr qint64 maximumTotalBitmapPixels = 48 * 1024 * 1024;
// A single bitmap side beyond this is a damaged header even if the pixel
// count would fit (Qt's raster engine works in 32767-pixel coordinates).
inline constexpr int maximumBitmapSide = 32'767;

// Clip regions combine in time proportional to their rectangle count.
// Intersecting and excluding rectangles in a real drawing keeps a handful;
// this many means a hostile file.
inline constexpr int maximumClipRectangles = 20'000;

// Clip regions are stored in whole units this fine across the picture's
// reference extent: finer than a pixel even at 4x on a large screen.
inline constexpr double clipUnitsAcross = 16'384.0;

// Scans in one region record; each holds at least one rectangle.
inline constexpr int maximumRegionRectangles = 65'535;
// Text whose glyphs would be larger than this on the device, along either
// axis, is filled as outlines rather than through Qt's glyph cache, which
// handles glyphs stretched far along one axis badly.
inline constexpr double largestCachedGlyphPixels = 256.0;

} // namespace wmf::limits
