#pragma once

#include "binarysystem.h"
#include "microprobereport.h"
#include "numberformat.h"
#include "scattersource.h"

#include <cstdint>
#include <string>
#include <vector>

// The microprobe report of a charge of a system computed from its
// thermodynamics, in the lab's fixed-pitch layout:
//
//   Temperature = 1600 degrees Celsius
//              glass forsterite
//   SiO2       58.38      42.70
//   MgO        41.62      57.29
//   Total     100.00      99.99
//
//   X(2)        0.27       0.00
//
// a column per phase (headed by its name, cut to ten letters; a liquid is
// "glass", two liquids "glass(1)" and "glass(2)"), the system's oxides in
// the order the lab prints them, each value the mixture of the two
// minerals' analyses at the phase's X(2) plus one draw of the analytical
// scatter (phase by phase, oxide by oxide); an oxide one mineral lacks
// reads as its size when the scatter takes it below zero.
class SystemReport
{
public:
    struct Phase
    {
        std::string heading;
        double x2 = 0; // mass fraction of mineral 2
    };

    // The oxides a system's report prints, in order.
    static std::vector<std::string> oxidesOf(const BinarySystem &system);

    static MicroprobeReport build(const BinarySystem &system, float runTemp, const std::vector<Phase> &phases,
                                  ScatterSource &scatter, std::int64_t &drawCount, const NumberFormat &format);

    // A microprobe traverse after a cooling path, a point a row (the glass,
    // then each crystal from core to rim), the oxides, Total and X(2) as
    // columns, each value drawn as in a run's report:
    //
    //   Temperature = 1120 degrees Celsius
    //   point                 SiO2   Al2O3     CaO    Na2O   Total    X(2)
    //   glass                67.57   20.01    0.55   11.54   99.67    0.03
    //   plagioclase core     47.46   33.22   16.57    2.27   99.52    0.84
    //   ...
    //   plagioclase rim      67.88   20.11    0.61   11.43  100.03    0.04
    static MicroprobeReport traverse(const BinarySystem &system, float celsius, const std::vector<Phase> &points,
                                     ScatterSource &scatter, std::int64_t &drawCount, const NumberFormat &format);

private:
    static std::vector<PhaseAnalysis> analyse(const BinarySystem &system, const std::vector<Phase> &phases,
                                              ScatterSource &scatter, std::int64_t &drawCount);
    static std::string header(float runTemp, const NumberFormat &format);
};
