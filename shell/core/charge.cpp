#include "charge.h"

#include <cmath>

#include <array>

namespace {

struct Band
{
    double upperBound; // included, but for the last band
    char letter;
    const char *share; // in words, for the screen reader
};

// The crystal-share bands in increasing order; each starts where the one
// before it ends, the first at 0.
constexpr std::array<Band, 12> bands{{
    {0.1, 'b', "up to 10 percent"},
    {0.15, 'c', "10 to 15 percent"},
    {0.2, 'd', "15 to 20 percent"},
    {0.25, 'e', "20 to 25 percent"},
    {0.3, 'f', "25 to 30 percent"},
    {0.35, 'g', "30 to 35 percent"},
    {0.4, 'h', "35 to 40 percent"},
    {0.5, 'i', "40 to 50 percent"},
    {0.6, 'j', "50 to 60 percent"},
    {0.7, 'k', "60 to 70 percent"},
    {0.8, 'l', "70 to 80 percent"},
    {1.0, 'm', "80 to 99 percent"},
}};
constexpr int lastBand = int(bands.size()) - 1;

std::string crystalsOf(Charge::Side side, std::string_view sideBCrystals)
{
    return side == Charge::Side::MineralOne ? std::string("mineral 1") : std::string(sideBCrystals);
}

} // namespace

Charge Charge::fromCrystalFraction(Side side, double crystalFraction)
{
    const double f = crystalFraction;
    if (f == 0.0)
        return of(side, Texture::AllGlass);
    if (f == 1.0)
        return of(side, Texture::GrownFromMelt);
    if (f > 0.0) {
        for (int band = 0; band < lastBand; ++band) {
            if (f <= bands[band].upperBound)
                return {side, Texture::CrystalsInGlass, band, {}};
        }
        if (f < 1.0)
            return {side, Texture::CrystalsInGlass, lastBand, {}};
    }
    return of(side, Texture::BeyondTheBands);
}

std::string Charge::pictureName() const
{
    if (isComputed())
        return {};
    std::string name = side == Side::MineralOne ? "Cha" : "Chb";
    switch (texture) {
    case Texture::AllGlass: name += 'a'; break;
    case Texture::CrystalsInGlass: name += bands[band].letter; break;
    case Texture::GrownFromMelt: name += 'n'; break;
    case Texture::Crystalline: name += 'o'; break;
    case Texture::EutecticGlass: name += 'p'; break;
    case Texture::BothCrystals: name += 'q'; break;
    case Texture::BeyondTheBands: break;
    }
    return name + ".wmf";
}

Charge Charge::ofShares(std::vector<PhaseShare> shares)
{
    Charge charge;
    charge.shares = std::move(shares);
    return charge;
}

namespace {

// "A (12 percent)", "A (12 percent) and B (30 percent)", "A (..), B (..) and C (..)".
std::string listed(const std::vector<Charge::PhaseShare> &shares)
{
    std::string text;
    for (std::size_t index = 0; index < shares.size(); ++index) {
        if (index > 0)
            text += index + 1 == shares.size() ? " and " : ", ";
        text += shares[index].name + " (" + std::to_string(std::lround(shares[index].fraction * 100)) + " percent)";
    }
    return text;
}

} // namespace

std::string Charge::description(std::string_view sideBCrystals) const
{
    if (isComputed()) {
        std::vector<PhaseShare> glasses;
        std::vector<PhaseShare> crystals;
        for (const PhaseShare &share : shares)
            (share.isGlass ? glasses : crystals).push_back(share);
        std::string text = "Charge of " + listed(glasses);
        if (!glasses.empty() && !crystals.empty())
            text += " with ";
        if (!crystals.empty())
            text += "crystals of " + listed(crystals);
        return text + ".";
    }
    const std::string crystals = crystalsOf(side, sideBCrystals);
    switch (texture) {
    case Texture::AllGlass:
        return "Charge of glass only: the charge is completely molten.";
    case Texture::CrystalsInGlass:
        return "Charge of glass with crystals of " + crystals + ", " + bands[band].share + " crystal.";
    case Texture::GrownFromMelt:
        return "Charge of crystals of " + crystals + " only, grown from the melt; no glass left.";
    case Texture::EutecticGlass:
        return "Charge of glass with crystals of mineral 1 and mineral 2: the eutectic.";
    case Texture::BothCrystals:
        return "Charge of crystals of mineral 1 and mineral 2, no glass.";
    case Texture::Crystalline:
    case Texture::BeyondTheBands:
        break;
    }
    return "Charge of crystals of " + crystals + " only, no glass.";
}

double Charge::pictureCrystalShare() const
{
    switch (texture) {
    case Texture::AllGlass:
        return 0.0;
    case Texture::CrystalsInGlass: {
        const double lower = band == 0 ? 0.0 : bands[band - 1].upperBound;
        return (lower + bands[band].upperBound) / 2;
    }
    default:
        return 1.0;
    }
}

std::vector<Charge> Charge::catalogue()
{
    std::vector<Charge> charges;
    for (const Side side : {Side::MineralOne, Side::MineralTwo}) {
        charges.push_back(of(side, Texture::AllGlass));
        for (int band = 0; band <= lastBand; ++band)
            charges.push_back({side, Texture::CrystalsInGlass, band, {}});
        charges.push_back(of(side, Texture::GrownFromMelt));
        charges.push_back(of(side, Texture::Crystalline));
    }
    charges.push_back(of(Side::MineralOne, Texture::EutecticGlass));
    charges.push_back(of(Side::MineralOne, Texture::BothCrystals));
    charges.push_back(of(Side::MineralOne, Texture::BeyondTheBands));
    return charges;
}
