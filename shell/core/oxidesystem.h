#pragma once

#include <array>
#include <string_view>

// The two end members of one furnace experiment as its microprobe reports
// them: four oxides in the order their rows are printed, each mineral's
// analysis in weight percent (each sums to 100.00), and the two orders in
// which a probe of this system works through the oxides.
struct OxideSystem
{
    using Column = std::array<double, 4>;

    std::array<std::string_view, 4> oxideNames; // printed order: "SiO2", ...
    Column mineral1;
    Column mineral2;
    // Rows in the order their scatter is drawn, and in the order a total
    // adds them (the sums are rounded in that order, which can show in the
    // last digit).
    std::array<int, 4> drawOrder;
    std::array<int, 4> totalOrder;
    // The oxides one end member lacks: a mixture's value of one of these
    // that comes out negative (scatter, or a composition just beyond the end
    // member) reads as its size.
    std::array<bool, 4> readsAsSize;
};
