#include "chargedescription.h"

namespace charge {

namespace {

struct Band
{
    char letter;
    double crystalShare;
};

// The lab picks a picture by the band its computed crystal fraction falls
// in; each picture shows the middle of its band.
constexpr Band crystalBands[] = {
    {'a', 0.0},   {'b', 0.05},  {'c', 0.125}, {'d', 0.175}, {'e', 0.225},
    {'f', 0.275}, {'g', 0.325}, {'h', 0.375}, {'i', 0.45},  {'j', 0.55},
    {'k', 0.65},  {'l', 0.75},  {'m', 0.9},   {'n', 1.0},
};

// The eutectic charge: glass with both minerals, each clearly present.
constexpr double eutecticShareOfEachMineral = 0.15;

ChargeDescription singleMineral(const QString &name, Mineral mineral, double share,
                                Texture texture, const QString &seed)
{
    ChargeDescription description;
    description.name = name;
    (mineral == Mineral::First ? description.firstMineralShare
                               : description.secondMineralShare) = share;
    description.texture = texture;
    description.layoutSeed = seed;
    return description;
}

} // namespace

QList<ChargeDescription> ChargeDescription::catalogue()
{
    QList<ChargeDescription> pictures;
    for (const auto &[side, mineral] : {std::pair{'a', Mineral::First}, {'b', Mineral::Second}}) {
        const QString seed = QStringLiteral("Ch") + QLatin1Char(side);
        for (const Band &band : crystalBands) {
            const Texture texture =
                band.crystalShare >= 1.0 ? Texture::GrownFromMelt : Texture::CrystalsInGlass;
            pictures.append(singleMineral(seed + QLatin1Char(band.letter), mineral,
                                          band.crystalShare, texture, seed));
        }
        pictures.append(singleMineral(seed + QLatin1Char('o'), mineral, 1.0, Texture::Granular,
                                      seed + QLatin1Char('o')));
    }

    ChargeDescription eutectic;
    eutectic.name = QStringLiteral("Chap");
    eutectic.firstMineralShare = eutecticShareOfEachMineral;
    eutectic.secondMineralShare = eutecticShareOfEachMineral;
    eutectic.layoutSeed = eutectic.name;
    pictures.append(eutectic);

    ChargeDescription bothCrystalline = eutectic;
    bothCrystalline.name = QStringLiteral("Chaq");
    bothCrystalline.firstMineralShare = 0.5;
    bothCrystalline.secondMineralShare = 0.5;
    bothCrystalline.texture = Texture::GrownFromMelt;
    bothCrystalline.layoutSeed = bothCrystalline.name;
    pictures.append(bothCrystalline);

    // The lab shows this one when a side-A run's crystal fraction comes out
    // above one: a charge that is all crystal of the first mineral.
    pictures.append(singleMineral(QStringLiteral("Cha"), Mineral::First, 1.0,
                                  Texture::GrownFromMelt, QStringLiteral("Cha")));
    return pictures;
}

} // namespace charge
