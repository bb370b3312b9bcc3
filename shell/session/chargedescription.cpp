#include "chargedescription.h"

#include <array>

namespace {

struct BandText
{
    char letter;
    const char *share;
};

// The share of crystal each picture letter stands for (the lever-rule bands).
constexpr std::array<BandText, 12> bandTexts{{
    {'b', "up to 10 percent"},
    {'c', "10 to 15 percent"},
    {'d', "15 to 20 percent"},
    {'e', "20 to 25 percent"},
    {'f', "25 to 30 percent"},
    {'g', "30 to 35 percent"},
    {'h', "35 to 40 percent"},
    {'i', "40 to 50 percent"},
    {'j', "50 to 60 percent"},
    {'k', "60 to 70 percent"},
    {'l', "70 to 80 percent"},
    {'m', "80 to 99 percent"},
}};

} // namespace

const QString ChargeDescription::eutecticSideB = QStringLiteral("mineral 2");
const QString ChargeDescription::solidSolutionSideB = QStringLiteral("the solid solution");

QString ChargeDescription::describe(const QString &pictureName, const QString &sideBCrystals)
{
    QString stem = pictureName;
    if (stem.endsWith(QLatin1String(".wmf"), Qt::CaseInsensitive))
        stem.chop(4);
    if (!stem.startsWith(QLatin1String("Ch")) || stem.size() < 3 || stem.size() > 4)
        return QStringLiteral("Charge picture %1").arg(pictureName);

    const QChar side = stem.at(2);
    if (side != QLatin1Char('a') && side != QLatin1Char('b'))
        return QStringLiteral("Charge picture %1").arg(pictureName);
    const QString crystals = side == QLatin1Char('a') ? QStringLiteral("mineral 1") : sideBCrystals;

    if (stem.size() == 3)
        return QStringLiteral("Charge of crystals of %1 only, no glass.").arg(crystals);

    const char letter = stem.at(3).toLatin1();
    switch (letter) {
    case 'a':
        return QStringLiteral("Charge of glass only: the charge is completely molten.");
    case 'n':
        return QStringLiteral("Charge of crystals of %1 only, grown from the melt; no glass left.")
            .arg(crystals);
    case 'o':
        return QStringLiteral("Charge of crystals of %1 only, no glass.").arg(crystals);
    case 'p':
        return QStringLiteral("Charge of glass with crystals of mineral 1 and mineral 2: the eutectic.");
    case 'q':
        return QStringLiteral("Charge of crystals of mineral 1 and mineral 2, no glass.");
    default:
        break;
    }
    for (const BandText &band : bandTexts) {
        if (band.letter == letter)
            return QStringLiteral("Charge of glass with crystals of %1, %2 crystal.")
                .arg(crystals, QLatin1String(band.share));
    }
    return QStringLiteral("Charge picture %1").arg(pictureName);
}
