#pragma once

#include "wmfpicture.h"

#include <QByteArray>
#include <QColor>
#include <QImage>

// Renders metafile bytes onto a white image of the given size and device
// pixel ratio, the way the lab's picture box does. A null image when the
// bytes are rejected (the error goes to the test log).
QImage renderMetafile(const QByteArray &bytes, QSize logicalSize = QSize(100, 100), qreal devicePixelRatio = 1.0);

// Whether two colours are within `tolerance` in every channel
// (anti-aliasing blurs edges, so checks look away from them).
bool isCloseTo(QColor actual, QColor expected, int tolerance = 24);
