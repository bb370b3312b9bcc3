#pragma once

#include "experiment1model.h"
#include "reporttext.h"

// The microprobe report of the first experiment: the run temperature, then
// for each phase of the charge its oxide weight percents (SiO2, Al2O3, MgO,
// CaO, in that order), their total and X(2).
//
// A glass (mixture) column of composition X is, per oxide k,
//   value(k) = (X * mineral2(k) + (1 - X) * mineral1(k)) + s
// with s one draw of analytical scatter, the complement 1 - X formed in
// single precision. Crystal columns are their end member plus scatter; an
// oxide the crystal lacks reads as the size of its draw. Because both end
// members sum to 100, a total is 100 plus its scatter.
class Experiment1Report
{
public:
    Experiment1Report(const Experiment1State &state, const NumberFormat &format);

    std::string build(ScatterSource &scatter, std::int64_t &drawCount);

    // Oxide order of rows, draws and totals.
    enum Oxide { SiO2, Al2O3, MgO, CaO, OxideCount };
    using Column = ReportText::Column;

private:
    enum class SignCorrection { None, AluminaAndMagnesia };

    Column mixtureColumn(double x2, double complement, SignCorrection correction,
                         ScatterSource &scatter, std::int64_t &drawCount) const;
    void addCrystalDraw(Column &column, const Column &base, int oxide, ScatterSource &scatter,
                        std::int64_t &drawCount) const;
    static double totalOf(const Column &column);

    const Experiment1State &m_state;
    ReportText m_text;
};
