#include "gibbsmodel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double joulesPerKilojoule = 1000;

// x ln x, with its limit 0 at x = 0.
double xLogX(double x)
{
    return x > 0 ? x * std::log(x) : 0;
}

double idealMixing(double x, double kelvin)
{
    return GibbsModel::gasConstant * kelvin * (xLogX(1 - x) + xLogX(x));
}

// d/dx of the ideal mixing term: RT ln(x / (1 - x)), kept finite at the ends.
double idealSlope(double x, double kelvin)
{
    constexpr double tiny = 1e-300;
    return GibbsModel::gasConstant * kelvin * (std::log(std::max(x, tiny)) - std::log(std::max(1 - x, tiny)));
}

double idealCurvature(double x, double kelvin)
{
    constexpr double tiny = 1e-300;
    return GibbsModel::gasConstant * kelvin / std::max(x * (1 - x), tiny);
}

} // namespace

GibbsModel::GibbsModel(const BinarySystem &system)
    : m_system(system)
{
    m_phases.push_back({Phase::Kind::Liquid, "liquid", -1, 0});
    for (int index = 0; index < int(system.solids.size()); ++index) {
        if (!system.isSolutionMember(index))
            m_phases.push_back({Phase::Kind::Compound, system.solids[index].name, index,
                                system.solids[index].moleFraction()});
    }
    for (int index = 0; index < int(system.solutions.size()); ++index)
        m_phases.push_back({Phase::Kind::Solution, system.solutions[index].name, index, 0});
}

double GibbsModel::memberEnergy(int solid, double kelvin) const
{
    const Solid &member = m_system.solids[solid];
    const double meltingKelvin = member.meltingPoint + kelvinAtZeroCelsius;
    return -member.enthalpyOfFusion * joulesPerKilojoule * (1 - kelvin / meltingKelvin) / member.unitCount();
}

double GibbsModel::energy(int phase, double x, double kelvin) const
{
    const Phase &info = m_phases[phase];
    switch (info.kind) {
    case Phase::Kind::Liquid:
        return idealMixing(x, kelvin) + m_system.liquid.excess(x);
    case Phase::Kind::Compound:
        return energy(liquid, info.x, kelvin) + memberEnergy(info.source, kelvin);
    case Phase::Kind::Solution:
        break;
    }
    const SolidSolution &solution = m_system.solutions[info.source];
    return (1 - x) * memberEnergy(solution.member1, kelvin) + x * memberEnergy(solution.member2, kelvin)
        + idealMixing(x, kelvin) + solution.margules.excess(x);
}

double GibbsModel::slope(int phase, double x, double kelvin) const
{
    const Phase &info = m_phases[phase];
    if (info.kind == Phase::Kind::Liquid)
        return idealSlope(x, kelvin) + m_system.liquid.slope(x);
    if (info.kind == Phase::Kind::Compound)
        return 0;
    const SolidSolution &solution = m_system.solutions[info.source];
    return memberEnergy(solution.member2, kelvin) - memberEnergy(solution.member1, kelvin) + idealSlope(x, kelvin)
        + solution.margules.slope(x);
}

double GibbsModel::curvature(int phase, double x, double kelvin) const
{
    const Phase &info = m_phases[phase];
    if (info.kind == Phase::Kind::Liquid)
        return idealCurvature(x, kelvin) + m_system.liquid.curvature(x);
    if (info.kind == Phase::Kind::Compound)
        return 0;
    return idealCurvature(x, kelvin) + m_system.solutions[info.source].margules.curvature(x);
}
