#pragma once

#include "margules.h"

#include <string>
#include <utility>
#include <vector>

// A binary system at one atmosphere whose components are the formula units
// of its two minerals: what an instructor describes with a few numbers from
// the literature, and all the equilibrium engine needs.
//
// Compositions: x is the mole fraction of unit 2 (the engine's scale); X(2)
// is the mass fraction of mineral 2 (the lab's):
//   X(2) = x M2 / ((1 - x) M1 + x M2),   x = (X(2)/M2) / (X(2)/M2 + (1 - X(2))/M1)
// with M1, M2 the units' formula masses in g/mol.
struct Mineral
{
    std::string name;
    double formulaMass = 0; // g/mol of the unit that mixes in the liquid
    std::vector<std::pair<std::string, double>> oxides; // weight percent, summing to 100
};

// A stoichiometric solid: `units1` formula units of mineral 1 and `units2`
// of mineral 2 (enstatite Mg2Si2O6 = 1 forsterite + 1 silica). Against the
// liquid of its own composition its Gibbs energy per formula is
//   G_s - G_l = -dHfus (1 - T/Tm)
// with Tm its (possibly metastable) congruent melting point and dHfus its
// enthalpy of fusion; no heat-capacity term.
struct Solid
{
    std::string name;
    int units1 = 0;
    int units2 = 0;
    double meltingPoint = 0;     // degrees Celsius
    double enthalpyOfFusion = 0; // kJ per mol of this formula
    std::string colour;          // for its crystals in a charge's picture, "#rrggbb"; empty: a default
    std::string habit;           // "prism", "plate", "needle", "grain"; empty: a default

    int unitCount() const { return units1 + units2; }
    double moleFraction() const { return double(units2) / unitCount(); } // x of its composition
};

// A solid solution between the two end-member solids (those with units
// [1, 0] and [0, 1]), with a Margules excess of its own.
struct SolidSolution
{
    std::string name;
    int member1 = -1; // index of the [1, 0] solid
    int member2 = -1; // index of the [0, 1] solid
    Margules margules;
    std::string colour; // as a solid's
    std::string habit;
};

struct BinarySystem
{
    std::string id;        // letters, digits, dashes: a worksheet's first word
    std::string title;     // "Forsterite – Silica"
    std::string reference; // "Bowen and Andersen (1914)"
    std::string teaches;   // one line on what the system teaches
    Mineral mineral1;
    Mineral mineral2;
    Margules liquid;
    std::vector<Solid> solids;
    std::vector<SolidSolution> solutions;
    double lowestTemperature = 0;     // degrees Celsius: runs from here ...
    double highestTemperature = 2000; // ... to here are accepted

    double massFraction(double moleFraction) const;
    double moleFraction(double massFraction) const;
    // Whether solid `index` is an end member of a solid solution (it is
    // then part of that phase, not a phase of its own).
    bool isSolutionMember(int index) const;
};
