#pragma once

#include "plotdata.h"

#include <QSize>
#include <QString>

// Writes a plot to a file for a lab report, by the file's ending: ".svg"
// (Qt's SVG writer), ".pdf" (Qt's PDF writer, one landscape A4 page) or
// ".png" (a picture of the given size, twice as fine).
class PlotExport
{
public:
    static constexpr QSize defaultSize{800, 600};

    // Writing a plot's words needs fonts, so an application, but no screen:
    // with no display to use, the application is made on Qt's offscreen
    // platform. Call before the application is made.
    static void drawWithoutScreenWhenThereIsNone();

    // An empty string when written, else why not.
    [[nodiscard]] static QString write(const PlotData &data, const QString &path, QSize size = defaultSize);
};
