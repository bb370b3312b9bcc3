#pragma once

#include "equilibriumsolver.h"

#include <optional>
#include <string>
#include <vector>

// A binary system's phase diagram, as the engine finds it: the invariant
// points (three phases on one tangent line), each end member's melting
// point, every phase boundary as a curve, the field of any point, and the
// charge a furnace run gives.
//
// Invariants are found by following the stable tie lines down in
// temperature (every 2 degrees) and, where the phases that meet change,
// halving the interval; the three phases p < r < q (by composition) are then
// refined together: the invariant is the temperature at which r touches the
// line tangent to p and q, found by halving to a millionth of a degree.
class PhaseDiagram
{
public:
    explicit PhaseDiagram(const BinarySystem &system);

    const EquilibriumSolver &solver() const { return m_solver; }
    const BinarySystem &system() const { return m_solver.system(); }

    struct Invariant
    {
        double temperature = 0; // degrees Celsius
        std::vector<PhaseAmount> phases; // the three, by composition (fractions unused)
        bool middleStableAbove = false;  // eutectic-like: the middle phase exists above it
        std::string kind; // "eutectic", "peritectic", "monotectic", "eutectoid", "peritectoid"
    };
    const std::vector<Invariant> &invariants() const { return m_invariants; }

    // The temperature at which pure mineral 1 (or 2) melts, if a solid of
    // its composition exists.
    std::optional<double> meltingPoint(int mineral) const;

    // The charge of a furnace run of bulk X(2) at a typed temperature: the
    // stable assemblage, except that a temperature that rounds to the tenth
    // at which an invariant lies holds its three phases (for a bulk between
    // their compositions), half way through the invariant reaction.
    Assemblage runAt(double bulkX2, double celsius) const;

    // The names of a phase and of a field: "liquid", "liquid + forsterite".
    std::string phaseName(int phase) const;
    std::string fieldAt(double x2, double celsius) const;

    // The boundaries of every two-phase field between the temperatures, as
    // (X(2), degrees Celsius) points, named "liquidus", "solidus", "solvus",
    // "two-liquid boundary" or "<compound> composition".
    struct Point
    {
        double x2 = 0;
        double temperature = 0;
    };
    struct Boundary
    {
        std::string name;
        std::vector<Point> points;
    };
    std::vector<Boundary> boundaries(double lowest, double highest) const;

private:
    void findInvariants();
    std::optional<Invariant> refineInvariant(double above, double below) const;

    EquilibriumSolver m_solver;
    std::vector<Invariant> m_invariants;
};
