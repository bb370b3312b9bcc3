#pragma once

// The excess Gibbs energy of mixing of a binary phase, subregular
// (Margules) form, per mole of mixing units:
//
//   G_ex = x1 x2 (W12 x2 + W21 x1)                      [J/mol]
//
// x2 is the mole fraction of unit 2 and x1 = 1 - x2; W12 and W21 are in
// kJ/mol (one value W: W12 = W21 = W, the regular solution W x1 x2).
// W12 governs unit 1 dilute in unit 2: RT ln(gamma1) -> W12 as x1 -> 0.
// A positive W favours unmixing; large enough, it opens a miscibility gap.
struct Margules
{
    double w12 = 0; // kJ/mol
    double w21 = 0; // kJ/mol

    static Margules symmetric(double w) { return {w, w}; }

    double excess(double x2) const;    // J/mol
    double slope(double x2) const;     // dG_ex/dx2, J/mol
    double curvature(double x2) const; // d2G_ex/dx2^2, J/mol
    bool isIdeal() const { return w12 == 0 && w21 == 0; }
};
