#pragma once

#include "charge.h"

#include <cstddef>
#include <optional>
#include <vector>

// A melt cooled step by step in a furnace, from a start temperature to an
// end temperature: what an experiment that can cool a charge (a system
// computed from its thermodynamics) offers besides its runs.
//
// The entries, already accepted by the window's checks: grams of each
// mineral (single precision, as a run's), the start and end temperatures
// and the step in degrees Celsius, and whether the crystals keep reacting
// with the liquid (equilibrium) or each step's crystals are kept from it
// (fractional).
struct CoolEntries
{
    enum class Kind { Equilibrium, Fractional };

    float grams1 = 0;
    float grams2 = 0;
    double from = 0;
    double to = 0;
    double step = 1;
    Kind kind = Kind::Equilibrium;

    static const char *kindName(Kind kind) { return kind == Kind::Equilibrium ? "equilibrium" : "fractional"; }
};

// One step of a path as the lab shows it: its temperature, the liquid's
// X(2) (nothing once no liquid is left), the share of the charge that is
// crystal, and the charge to draw and describe.
struct CoolingStep
{
    double celsius = 0;
    std::optional<double> liquidX2;
    double crystalShare = 0;
    Charge charge;
};

class CoolingModel
{
public:
    virtual ~CoolingModel() = default;

    // Cools the charge; the path's steps, or nothing for a charge of no
    // grams (the error path, as a run's). The report analyses the path's
    // last step until another is shown.
    virtual std::optional<std::vector<CoolingStep>> cool(const CoolEntries &entries) = 0;
    // Which step of the last path the microprobe analyses; false when a
    // run has come since (the run is what it analyses then).
    virtual bool showStep(std::size_t step) = 0;
};
