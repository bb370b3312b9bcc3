#pragma once

// The phase diagram of the first furnace experiment: two minerals that form
// no solid solution and melt together at a eutectic.
//
// Mineral 1 (SiO2 55.49, MgO 18.61, CaO 25.9 weight percent) melts at
// 1392 degrees Celsius, mineral 2 (SiO2 43.19, Al2O3 36.65, CaO 20.16) at
// 1553; the eutectic liquid has X = 0.42 and freezes at 1274. X is the mass
// fraction of mineral 2 and T the temperature in degrees Celsius.
//
// Liquidus (the temperature above which a charge of bulk composition X is all
// liquid):
//   side A, X < 0.42 (crystals of mineral 1 form):   T = 1392 - 173.9 X - 247.3 X^2
//   side B, X >= 0.42 (crystals of mineral 2 form):  T = 866.8 + 1173.69 X - 487.4 X^2
// Liquid composition at temperature T when liquid and crystal coexist:
//   side A: X = -17.7846 + 0.03068678 T - 1.28697e-05 T^2
//   side B: X = 6.0134 - 0.009616205 T + 4.107547e-06 T^2
//
// The composition curves are separate fits, not exact inverses of the
// liquidus curves, and the two sides do not quite meet at the eutectic (side
// A's liquidus gives 1275.34 at X = 0.42, side B's 1273.77). Each curve is
// used as fitted; they are evaluated in double precision.
#include "diagramoutline.h"

class EutecticDiagram
{
public:
    static constexpr double mineral1MeltingT = 1392;
    static constexpr double mineral2MeltingT = 1553;
    static constexpr double eutecticT = 1274;
    static constexpr double eutecticX2 = 0.42;
    // Charges this close to an end member are treated as the pure mineral.
    static constexpr double pureMineral2X2 = 0.99999;
    static constexpr double pureMineral1X2 = 0.00001;

    static double sideALiquidusT(double x2);
    static double sideBLiquidusT(double x2);
    static double sideALiquidX2(double temperature);
    static double sideBLiquidX2(double temperature);

    // The diagram as drawn for instructors: both liquidus branches as
    // fitted, the solidus (the eutectic isotherm and the two pure minerals)
    // and the four fields.
    static DiagramOutline outline();
};
