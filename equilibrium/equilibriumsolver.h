#pragma once

#include "gibbsmodel.h"

#include <vector>

// One phase of a charge at equilibrium: its composition and how much of the
// charge it is.
struct PhaseAmount
{
    int phase = 0;         // the GibbsModel phase
    double x = 0;          // mole fraction of unit 2
    double x2 = 0;         // mass fraction of mineral 2: the lab's X(2)
    double fraction = 0;   // mass fraction of the charge
};

// What a charge holds at one temperature: one phase, or two at the ends of
// a tie line (three at an invariant temperature), ordered by composition.
struct Assemblage
{
    double temperature = 0; // degrees Celsius
    std::vector<PhaseAmount> phases;
};

// The stable state of a charge: the lower convex hull of all phases' Gibbs
// energies at the temperature (every curve sampled, every compound a point)
// says which phases coexist; each tie line's ends are then refined to equal
// chemical potentials (the common tangent: equal slope and equal intercept
// of the two phases' curves), so compositions are exact to far better than
// 1e-6 rather than to a sampling step; the amounts follow by the lever rule
// in mass:
//   f_a = (X_b - X) / (X_b - X_a)
// Nothing in here names a eutectic, a peritectic or a miscibility gap: they
// are what the numbers give.
class EquilibriumSolver
{
public:
    explicit EquilibriumSolver(const BinarySystem &system);

    const GibbsModel &model() const { return m_model; }
    const BinarySystem &system() const { return m_model.system(); }

    // A stretch of composition at one temperature: one phase over [x[0],
    // x[1]], or two phases at the ends of a tie line from x[0] to x[1].
    struct Span
    {
        int phase[2] = {0, 0};
        double x[2] = {0, 0};
        bool isTwoPhase() const { return phase[0] != phase[1] || x[0] != x[1]; }
        bool isTieLine = false;
    };

    // Every span from x = 0 to x = 1 at the temperature, in order; refined
    // unless `refine` is false (then the hull's sample compositions, enough
    // to tell which phases meet).
    enum class Refinement { Exact, HullOnly };
    std::vector<Span> spans(double celsius, Refinement refinement = Refinement::Exact) const;

    // The charge of bulk X(2) (mass fraction of mineral 2) at the temperature.
    Assemblage at(double bulkX2, double celsius) const;

    // The line tangent to phases a and b (stable or not), from compositions
    // near xa and xb, which it refines; false when there is none near them.
    bool tangentLine(int a, int b, double celsius, double &xa, double &xb) const;
    // Where phase `phase` comes closest to the line through (x0, g0) of
    // slope `slope` (its own composition for a compound; the tangency point
    // near `x` for a curve), and how far above the line it lies there (J/mol,
    // negative below).
    double heightAboveLine(int phase, double celsius, double x0, double g0, double slope, double &x) const;

private:
    void refine(Span &span, const std::vector<double> &grid, double kelvin) const;
    bool tangentToPoint(int curve, double pointX, double pointG, double seed, const std::vector<double> &grid,
                        double kelvin, double &x) const;
    bool commonTangent(int a, int b, double &xa, double &xb, double kelvin) const;
    // The composition near `seed` where a curve's slope is `slope`.
    double pointOfSlope(int curve, double slope, double seed, double kelvin) const;

    GibbsModel m_model;
};
