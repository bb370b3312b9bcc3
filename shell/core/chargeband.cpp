#include "chargeband.h"

#include <array>

namespace {

struct Band
{
    double upperBound; // included
    char letter;
};

// Bands above 0 and up to 0.8, in increasing order; 64-bit bounds.
constexpr std::array<Band, 11> bands{{
    {0.1, 'b'},
    {0.15, 'c'},
    {0.2, 'd'},
    {0.25, 'e'},
    {0.3, 'f'},
    {0.35, 'g'},
    {0.4, 'h'},
    {0.5, 'i'},
    {0.6, 'j'},
    {0.7, 'k'},
    {0.8, 'l'},
}};

} // namespace

std::string ChargeBand::letterFor(double crystalFraction)
{
    const double f = crystalFraction;
    if (f == 0.0)
        return "a";
    if (f == 1.0)
        return "n";
    if (f > 0.0) {
        for (const Band &band : bands) {
            if (f <= band.upperBound)
                return std::string(1, band.letter);
        }
        if (f < 1.0)
            return "m";
    }
    return {};
}
