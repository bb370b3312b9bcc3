#pragma once

#include "binarysystem.h"
#include "kit.h"

// A kit's version of a system: true thermodynamics of its own, computed by
// the same engine, not a warp of the diagram. Each solid's melting point
// moves by the kit's shift for that mineral (-40 to 40 degrees, the same
// for a mineral in every system and experiment of the kit), each enthalpy
// of fusion is scaled (0.85 to 1.15, by the solid's name), each Margules
// parameter is shifted (-5 to 5 kJ/mol). The system keeps its kind: if the
// changes would change the order of its melting points or the kinds of its
// invariant points (a peritectic must stay a peritectic), the changes are
// held back (halved, down to none) until they do not: the enthalpies and
// Margules parameters first, then a compound's melting point, and the
// minerals' own melting points only when nothing else keeps the kind.
class SystemKit
{
public:
    static BinarySystem variant(const BinarySystem &system, const Kit &kit);
    // The system moved by the kit's changes scaled by `share` (0: none, 1: all).
    static BinarySystem scaled(const BinarySystem &system, const Kit &kit, double share);
    // How much of each kind of change a variant takes (0: none, 1: all).
    struct Shares
    {
        double endMembers = 1; // the melting points of solids of a mineral's own composition
        double compounds = 1;  // the melting points of solids between them
        double rest = 1;       // enthalpies of fusion and Margules parameters
    };
    static BinarySystem scaled(const BinarySystem &system, const Kit &kit, const Shares &shares);
};
