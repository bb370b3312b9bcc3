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
};
