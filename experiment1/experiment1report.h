#pragma once

#include "experiment1model.h"
#include "microprobereport.h"
#include "oxidesystem.h"

// The microprobe report of the first experiment: the run temperature, then
// for each phase of the charge its oxide weight percents (SiO2, Al2O3, MgO,
// CaO, in that order, drawn and added in that order too), their total and
// X(2).
//
// A glass column of composition X is a mixture of the end members (see
// Microprobe), its complement 1 - X formed in single precision, Al2O3 and
// MgO read as their size when negative (but beside the eutectic crystals).
// Crystal columns are their end member plus scatter. Because both end
// members sum to 100, a total is 100 plus its scatter.
class Experiment1Report
{
public:
    static const OxideSystem system;

    static MicroprobeReport build(const Experiment1State &state, ScatterSource &scatter, std::int64_t &drawCount,
                                  const NumberFormat &format);
};
