#include "binarysystem.h"

#include <algorithm>

double BinarySystem::massFraction(double moleFraction) const
{
    const double mass2 = moleFraction * mineral2.formulaMass;
    const double mass1 = (1 - moleFraction) * mineral1.formulaMass;
    return mass2 / (mass1 + mass2);
}

double BinarySystem::moleFraction(double massFraction) const
{
    const double moles2 = massFraction / mineral2.formulaMass;
    const double moles1 = (1 - massFraction) / mineral1.formulaMass;
    return moles2 / (moles1 + moles2);
}

bool BinarySystem::isSolutionMember(int index) const
{
    return std::any_of(solutions.begin(), solutions.end(), [index](const SolidSolution &solution) {
        return solution.member1 == index || solution.member2 == index;
    });
}
