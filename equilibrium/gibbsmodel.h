#pragma once

#include "binarysystem.h"

#include <string>
#include <vector>

// The Gibbs energy of every phase of a binary system, per mole of mixing
// units and relative to the two pure liquids, at a temperature T in kelvin:
//
//   liquid      G_L(x) = RT (x1 ln x1 + x2 ln x2) + G_ex,L(x)
//   compound    G_C    = G_L(x_C) - dHfus (1 - T/Tm) / n        (n units per formula, at x_C)
//   solution    G_S(x) = x1 g1 + x2 g2 + RT (x1 ln x1 + x2 ln x2) + G_ex,S(x),
//               g_i = -dHfus_i (1 - T/Tm_i)                      (its end members)
//
// with x = x2 the mole fraction of unit 2, R = 8.314462618 J/(mol K), all
// energies in J/mol. A compound is a point; the liquid and each solution a
// curve over 0 <= x <= 1. Solids that are a solution's end members belong
// to the solution and are not phases of their own.
class GibbsModel
{
public:
    static constexpr double gasConstant = 8.314462618; // J/(mol K)
    static constexpr double kelvinAtZeroCelsius = 273.15;

    struct Phase
    {
        enum class Kind { Liquid, Compound, Solution };
        Kind kind = Kind::Liquid;
        std::string name; // "liquid", or the solid's or solution's name
        int source = -1;  // index into the system's solids or solutions
        double x = 0;     // a compound's composition

        bool isCurve() const { return kind != Kind::Compound; }
    };

    explicit GibbsModel(const BinarySystem &system);

    const BinarySystem &system() const { return m_system; }
    const std::vector<Phase> &phases() const { return m_phases; }
    // The liquid is always phase 0.
    static constexpr int liquid = 0;

    double energy(int phase, double x, double kelvin) const;
    double slope(int phase, double x, double kelvin) const;     // dG/dx (curves)
    double curvature(int phase, double x, double kelvin) const; // d2G/dx2 (curves)

private:
    double memberEnergy(int solid, double kelvin) const;

    BinarySystem m_system;
    std::vector<Phase> m_phases;
};
