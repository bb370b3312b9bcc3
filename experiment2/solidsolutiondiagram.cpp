#include "solidsolutiondiagram.h"

#include <cmath>

double SolidSolutionDiagram::liquidusT(double x2)
{
    return 1130 + 1496.2 * x2 - 2897.1 * std::pow(x2, 2) + 2998.9 * std::pow(x2, 3)
        - 1178 * std::pow(x2, 4);
}

double SolidSolutionDiagram::solidusT(double x2)
{
    return 1118 + 54.26 * x2 + 730.15 * std::pow(x2, 2) - 354.88 * std::pow(x2, 3);
}

double SolidSolutionDiagram::liquidX2(double temperature)
{
    return -26.312 + 0.064576 * temperature - 5.3294e-05 * std::pow(temperature, 2)
        + 1.48281e-08 * std::pow(temperature, 3);
}

double SolidSolutionDiagram::crystalX2(double temperature)
{
    return -32.57 + 0.069 * temperature - 4.88e-05 * std::pow(temperature, 2)
        + 1.17828e-08 * std::pow(temperature, 3);
}
