#include "chargecontent.h"

#include <QColor>

namespace charge {

namespace {

// The eutectic charge: glass with both minerals, each clearly present.
constexpr double eutecticShareOfEachMineral = 0.15;
// Both minerals grown from the melt, half and half.
constexpr double shareOfEachCrystallineMineral = 0.5;

} // namespace

ChargeContent ChargeContent::of(const Charge &charge)
{
    using T = Charge::Texture;
    ChargeContent content;
    const QString fileName = QString::fromStdString(charge.pictureName());
    content.name = fileName.chopped(4);
    // A side's all-glass, in-glass and grown-from-melt pictures share one
    // layout; the others have their own.
    const bool isSeries = charge.texture == T::AllGlass || charge.texture == T::CrystalsInGlass
        || charge.texture == T::GrownFromMelt;
    content.layoutSeed = isSeries ? content.name.left(3) : content.name;
    switch (charge.texture) {
    case T::EutecticGlass:
        content.firstMineralShare = content.secondMineralShare = eutecticShareOfEachMineral;
        return content;
    case T::BothCrystals:
        content.firstMineralShare = content.secondMineralShare = shareOfEachCrystallineMineral;
        content.texture = Texture::GrownFromMelt;
        return content;
    case T::Crystalline: content.texture = Texture::Granular; break;
    case T::GrownFromMelt:
    case T::BeyondTheBands: content.texture = Texture::GrownFromMelt; break;
    default: break;
    }
    (charge.side == Charge::Side::MineralOne ? content.firstMineralShare : content.secondMineralShare) =
        charge.pictureCrystalShare();
    return content;
}

ChargeContent ChargeContent::ofComputed(const Charge &charge, const QString &seed)
{
    ChargeContent content;
    content.name = seed;
    content.layoutSeed = seed;
    content.proportional = true;
    bool hasGlass = false;
    int slot = 0;
    for (const Charge::PhaseShare &share : charge.shares) {
        if (share.isGlass) {
            hasGlass = true;
            continue;
        }
        if (slot > 1)
            break; // a binary charge with glass holds at most two solids
        const QColor colour(QString::fromStdString(share.colour));
        const QRgb rgb = colour.isValid() ? colour.rgb() : palette::firstMineral;
        const std::string &habit = share.habit;
        content.looks[slot] = {rgb, QColor(rgb).darker(170).rgb(),
                               habit == "plate"    ? Habit::Plate
                                   : habit == "needle" ? Habit::Needle
                                   : habit == "grain"  ? Habit::Grain
                                                       : Habit::Prism};
        (slot == 0 ? content.firstMineralShare : content.secondMineralShare) = share.fraction;
        ++slot;
    }
    if (!hasGlass) {
        // Crystals only: a mosaic of grains, each mineral's grains covering
        // its share of the charge.
        content.texture = Texture::Granular;
    }
    return content;
}

QList<ChargeContent> ChargeContent::catalogue()
{
    QList<ChargeContent> pictures;
    for (const Charge &charge : Charge::catalogue())
        pictures.append(of(charge));
    return pictures;
}

} // namespace charge
