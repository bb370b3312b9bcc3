#pragma once

#include "experiment2model.h"
#include "reporttext.h"

// The microprobe report of the second experiment: the run temperature, then
// for each phase its oxide weight percents printed in the order SiO2, Al2O3,
// CaO, Na2O, their total and X(2).
//
// A column of composition X is, per oxide k,
//   value(k) = (X * mineral2(k) + (1 - X) * mineral1(k)) + s
// with s one draw of analytical scatter. The scatter is drawn in the order
// SiO2, Na2O, CaO, Al2O3; Na2O and CaO, which one end member lacks, read as
// the size of a negative value. The complement 1 - X is single precision for
// the crystal's X(2) and double for the glass's.
class Experiment2Report
{
public:
    Experiment2Report(const Experiment2State &state, const NumberFormat &format);

    std::string build(ScatterSource &scatter, std::int64_t &drawCount);

    // Order of the printed rows.
    enum Oxide { SiO2, Al2O3, CaO, Na2O, OxideCount };
    using Column = ReportText::Column;

private:
    Column analyse(double x2, double complement, ScatterSource &scatter, std::int64_t &drawCount) const;
    static double totalOf(const Column &column);

    const Experiment2State &m_state;
    ReportText m_text;
};
