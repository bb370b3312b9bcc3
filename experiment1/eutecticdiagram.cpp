#include "eutecticdiagram.h"

#include <cmath>

double EutecticDiagram::sideALiquidusT(double x2)
{
    return 1392 - 173.9 * x2 - 247.3 * std::pow(x2, 2);
}

double EutecticDiagram::sideBLiquidusT(double x2)
{
    return 866.8 + 1173.69 * x2 - 487.4 * std::pow(x2, 2);
}

double EutecticDiagram::sideALiquidX2(double temperature)
{
    return -17.7846 + 0.03068678 * temperature - 1.28697e-05 * std::pow(temperature, 2);
}

double EutecticDiagram::sideBLiquidX2(double temperature)
{
    return 6.0134 - 0.009616205 * temperature + 4.107547e-06 * std::pow(temperature, 2);
}
