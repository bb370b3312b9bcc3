#pragma once

#include <QRect>
#include <QtMath>

// Window and control geometry is laid out in twips, 1/1440 inch, and turned
// into pixels at the screen's logical resolution: 15 twips to the pixel at
// 96 DPI. Each coordinate is converted on its own, as the layout tables give
// them.
class Twips
{
public:
    static int toPixels(int twips, qreal dotsPerInch) { return qRound(twips * dotsPerInch / 1440.0); }

    static QRect toPixels(const QRect &twips, qreal dotsPerInch)
    {
        return QRect(toPixels(twips.left(), dotsPerInch), toPixels(twips.top(), dotsPerInch),
                     toPixels(twips.width(), dotsPerInch), toPixels(twips.height(), dotsPerInch));
    }

    // The logical resolution of the primary screen, 96 when there is none.
    static qreal screenDotsPerInch();
};
