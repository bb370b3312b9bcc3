#pragma once

#include <QString>

// Says in words what a charge picture shows, from its name, so that a
// student using a screen reader learns what a sighted student sees: which
// phases the charge holds, whose crystals, and roughly how much is crystal.
//
// Names are "Ch", a side letter ("a": crystals of mineral 1, "b": crystals
// of mineral 2) and a charge letter: "a" all glass, "b" to "m" a growing
// share of crystal in glass, "n" all crystal grown from the melt, "o" a
// single crystalline mineral, "p" glass with crystals of both minerals (the
// eutectic), "q" crystals of both minerals without glass. "Cha.wmf" has no
// charge letter: a side-A charge that is essentially all crystal.
class ChargeDescription
{
public:
    // How each experiment names its side-B crystals: mineral 2 itself in the
    // eutectic experiment, the solid solution in the other.
    static const QString eutecticSideB;
    static const QString solidSolutionSideB;

    static QString describe(const QString &pictureName, const QString &sideBCrystals = eutecticSideB);
};
