#pragma once

#include "wmfpicture.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>

#include <utility>

// Renders metafile bytes onto a white image of the given size and device
// pixel ratio, the way the lab's picture box does. A null image when the
// bytes are rejected (the error goes to the test log).
QImage renderMetafile(const QByteArray &bytes, QSize logicalSize = QSize(100, 100), qreal devicePixelRatio = 1.0);

// Whether two colours are within `tolerance` in every channel
// (anti-aliasing blurs edges, so checks look away from them).
bool isCloseTo(QColor actual, QColor expected, int tolerance = 24);

// Points of a rendered picture and the colours they must have.
using Probes = QList<std::pair<QPoint, QColor>>;

// Renders the bytes and checks every probe (a test failure names the first
// one that is off).
void verifyProbes(const QByteArray &bytes, const Probes &probes, QSize logicalSize = QSize(100, 100),
                  int tolerance = 24);

// The bytes must be refused with a one-line error that contains errorPart.
void verifyRejected(const QByteArray &bytes, const QString &errorPart);
