#pragma once

#include "experiment2model.h"
#include "microprobereport.h"
#include "oxidesystem.h"

// The microprobe report of the second experiment: the run temperature, then
// for each phase its oxide weight percents printed in the order SiO2, Al2O3,
// CaO, Na2O, their total and X(2).
//
// Every column is a mixture of the end members (see Microprobe): the scatter
// is drawn in the order SiO2, Na2O, CaO, Al2O3 and the total added as SiO2,
// Al2O3, Na2O, CaO; Na2O and CaO, which one end member lacks, read as the
// size of a negative value. Every draw passes the crystal's X(2), the
// glass column's too. The complement 1 - X is single precision for the
// crystal's X(2) and double for the glass's.
class Experiment2Report
{
public:
    static const OxideSystem system;

    static MicroprobeReport build(const Experiment2State &state, ScatterSource &scatter, std::int64_t &drawCount,
                                  const NumberFormat &format);
};
