#pragma once

#include <QSize>

// The main menu's client size at 96 DPI (6690 x 5265 twips at 15 twips to
// the pixel). The empty window it is compared with gets the same size, so
// both need the same backing store and differ only in what they draw.
inline constexpr QSize labMenuSize(446, 351);
