#pragma once

#include "charge.h"
#include "coolingmodel.h"
#include "microprobereport.h"
#include "numberformat.h"
#include "scattersource.h"

#include <cstdint>
#include <optional>

// The three entries of a run, already accepted by the window's checks:
// grams of mineral 1, grams of mineral 2 and the run temperature in degrees
// Celsius, each a single-precision number as typed.
struct RunEntries
{
    float grams1 = 0;
    float grams2 = 0;
    float temperature = 0;

    // The charge's bulk composition: X(2) = grams2 / (grams1 + grams2) and
    // X(1) = grams1 / (grams1 + grams2), in single precision; nothing for a
    // charge of no grams, which a run cannot divide by.
    struct Bulk
    {
        float x2;
        float x1;
    };
    std::optional<Bulk> bulk() const
    {
        const float totalGrams = grams1 + grams2;
        if (totalGrams == 0.0f)
            return std::nullopt;
        return Bulk{grams2 / totalGrams, grams1 / totalGrams};
    }
};

// What a run gives back to the window: the charge to show, or the failure
// that ends the run on the window's error path.
struct RunOutcome
{
    enum class Failure {
        None,
        DivisionByZero, // an arithmetic failure in the run (both masses 0, a zero lever-rule denominator)
    };

    Charge charge;
    Failure failure = Failure::None;

    // What the window says, titled "Abort", when a run fails after its checks.
    static constexpr const char *unexpectedErrorMessage = "Program encountered an unexpected error!";

    bool isSuccess() const { return failure == Failure::None; }
    static RunOutcome showing(const Charge &charge) { return {charge, Failure::None}; }
    static RunOutcome failed(Failure failure) { return {{}, failure}; }
};

// The seam between the lab shell and one furnace experiment. The model owns
// the experiment window's run state (everything but the draw counter, which
// the shell's entry checks advance too): a run updates it, a report reads it.
// It is plain C++, so every digit of a run and a report can be tested
// without a window.
class ExperimentModel
{
public:
    virtual ~ExperimentModel() = default;

    // Classifies the charge and stores the run state.
    virtual RunOutcome run(const RunEntries &entries) = 0;

    // The whole microprobe report of the last run, with one scatter draw per
    // analysed oxide value; each draw advances drawCount.
    virtual MicroprobeReport report(ScatterSource &scatter, std::int64_t &drawCount,
                                    const NumberFormat &format) const = 0;

    // The experiment's furnace as a cooling path, when it can cool a charge
    // step by step; the lab's own two experiments cannot.
    virtual CoolingModel *cooling() { return nullptr; }
};
