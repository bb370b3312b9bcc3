#pragma once

#include "chargecontent.h"

#include <QByteArray>
#include <QRect>
#include <QString>

namespace charge {

// Draws a charge as a polished section shows it: the charge in its metal
// capsule, set in a pale mount, as a placeable Windows metafile.
class ChargePicture
{
public:
    // The lab's picture box, in twips (1440 to the inch), portrait.
    static constexpr int widthInTwips = 1845;
    static constexpr int heightInTwips = 2910;
    static QRect boundingBox() { return {0, 0, widthInTwips, heightInTwips}; }

    // Width of the darker rim drawn just inside each crystal's outline, in
    // twips: about a pixel at the size the lab shows the picture.
    static constexpr double crystalRimWidth = 13.0;

    static QByteArray draw(const ChargeContent &content);

    // Writes every picture of the catalogue into the folder, which must
    // exist. On failure returns false and says why in `error`.
    static bool writeAll(const QString &folder, QString *error);
};

} // namespace charge
