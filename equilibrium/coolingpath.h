#pragma once

#include "equilibriumsolver.h"

#include <cstddef>
#include <string>
#include <vector>

// A melt cooled step by step from one temperature to another, as every
// petrology course follows a magma down:
//
// - in equilibrium the crystals keep reacting with the liquid: each step is
//   the stable assemblage of the whole bulk at its temperature, and every
//   crystal is homogeneous, of the composition stable there;
// - in fractional crystallisation each step's new crystals are taken out of
//   reaction: the liquid of one step is the bulk of the next, and each layer
//   keeps the composition it grew with, so a crystal is zoned from core to
//   rim (plagioclase from a calcic core to a sodic rim, forsterite mantled
//   by enstatite past a peritectic).
//
// A crystal is the layers grown on it in turn: a phase that already has
// crystals grows on them; one that crystallises alone once another stopped
// mantles that one's crystals; one that appears beside another still
// growing (at a eutectic) starts crystals of its own.
//
// Masses are fractions of the whole charge and compositions are X(2), mass
// fractions of mineral 2, so mass balance reads
//   liquid + sum of layers = 1,  X_liquid liquid + sum X_layer layer = X_bulk.
class CoolingPath
{
public:
    enum class Kind { Equilibrium, Fractional };

    struct Layer
    {
        int phase = 0;       // the GibbsModel phase
        double x2 = 0;       // its composition, X(2)
        double mass = 0;     // mass fraction of the charge
        double celsius = 0;  // the temperature it grew at
        std::size_t crystal = 0; // which crystal it is part of
    };

    struct Step
    {
        double celsius = 0;
        double liquidMass = 0; // mass fraction of the charge still liquid
        double liquidX2 = 0;   // the liquid's composition (of both, where it has unmixed); 0 without liquid
        std::size_t firstLayer = 0; // the step's crystals: layers [firstLayer, endLayer)
        std::size_t endLayer = 0;
        bool hasLiquid() const { return liquidMass > 0; }
    };

    // The most steps a path may have: enough for a 1-degree path across any
    // range the lab accepts.
    static constexpr std::size_t largestStepCount = 5000;

    // The temperatures of a path: from, from - step, ... and to itself last;
    // empty when from is below to, the step under 1 degree or the path
    // longer than largestStepCount.
    static std::vector<double> temperatures(double from, double to, double step);

    // Cools a charge of bulk X(2) `bulkX2` from `from` to `to` degrees
    // Celsius in steps of `step`; an empty path for temperatures() refuses.
    CoolingPath(const BinarySystem &system, double bulkX2, double from, double to, double step, Kind kind);

    Kind kind() const { return m_kind; }
    double bulkX2() const { return m_bulkX2; }
    const std::vector<Step> &steps() const { return m_steps; }
    const GibbsModel &model() const { return m_solver.model(); }

    // The crystals of a step, each a list of layers from core to rim.
    std::vector<std::vector<Layer>> crystalsAt(std::size_t step) const;
    // What a step's charge holds: the liquid (if any) and each solid phase's
    // total mass and mass-weighted composition, in order of composition.
    std::vector<PhaseAmount> phasesAt(std::size_t step) const;

    // A microprobe traverse of a crystal, core to rim, at `points` evenly
    // spaced places along its radius (a sphere: the layer at radius r holds
    // the mass fraction r^3 from the core). Each point is the layer there.
    static std::vector<Layer> traverse(const std::vector<Layer> &crystal, int points);

private:
    void coolInEquilibrium(const std::vector<double> &temperatures);
    void coolFractionally(const std::vector<double> &temperatures);
    // Adds a fractional step's new crystals to the crystals that grew so far.
    void growLayers(const std::vector<PhaseAmount> &solids, double reactingMass, double celsius);

    EquilibriumSolver m_solver;
    Kind m_kind;
    double m_bulkX2;
    std::vector<Step> m_steps;
    std::vector<Layer> m_layers;
    // Fractional: each crystal's outermost phase, and whether it grew in the last step.
    std::vector<int> m_rimPhase;
    std::vector<bool> m_grewLast;
};
