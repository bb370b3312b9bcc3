#pragma once

// The phase diagram of the second furnace experiment: two minerals that form
// a complete solid solution, mineral 1 (SiO2 68.74, Al2O3 19.44, Na2O 11.82
// weight percent; melts at 1118 degrees Celsius) and mineral 2 (SiO2 43.19,
// Al2O3 36.65, CaO 20.16; melts at 1553).
//
// x is X(2), the mass fraction of mineral 2, and T the temperature in degrees
// Celsius. Four fitted curves, evaluated in double precision:
//   liquidus  T = 1130 + 1496.2 x - 2897.1 x^2 + 2998.9 x^3 - 1178 x^4
//   solidus   T = 1118 + 54.26 x + 730.15 x^2 - 354.88 x^3
//   liquid (glass) composition   x = -26.312 + 0.064576 T - 5.3294e-05 T^2 + 1.48281e-08 T^3
//   crystal composition          x = -32.57 + 0.069 T - 4.88e-05 T^2 + 1.17828e-08 T^3
//
// Between the solidus and the liquidus a charge holds glass and crystal of
// these two compositions. The composition curves are fits in temperature,
// not inverses of the temperature curves; near the ends of the loop they run
// a little outside 0..1 (about -0.0085 for the glass at 1118, 1.0157 for the
// crystal at 1550), and those values are used as they come. The pure minerals
// melt at their own melting points, not on the curves.
#include "diagramoutline.h"

class SolidSolutionDiagram
{
public:
    static constexpr double mineral1MeltingT = 1118;
    static constexpr double mineral2MeltingT = 1553;
    // Charges this close to an end member are treated as the pure mineral
    // (tested on X(1), the mass fraction of mineral 1).
    static constexpr double pureMineral2X1 = 0.00001;
    static constexpr double pureMineral1X1 = 0.99999;

    static double liquidusT(double x2);
    static double solidusT(double x2);
    static double liquidX2(double temperature);
    static double crystalX2(double temperature);

    // The diagram as drawn for instructors: the liquidus and solidus loop
    // and its three fields.
    static DiagramOutline outline();
};
