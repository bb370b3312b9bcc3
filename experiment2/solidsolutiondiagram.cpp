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

DiagramOutline SolidSolutionDiagram::outline()
{
    const std::string liquid = "liquid";
    const std::string inTheLoop = "liquid + crystals of the solid solution";
    const std::string crystals = "crystals of the solid solution";
    DiagramOutline outline;
    outline.curves.push_back({"liquidus", DiagramOutline::sampled(0, 1, 100, liquidusT)});
    outline.curves.push_back({"solidus", DiagramOutline::sampled(0, 1, 100, solidusT)});
    outline.labels = {{{0.3, 1500}, liquid}, {{0.52, 1370}, inTheLoop}, {{0.7, 1200}, crystals}};
    outline.fieldAt = [=](double x2, double temperature) {
        if (1 - x2 <= pureMineral2X1)
            return temperature >= mineral2MeltingT ? liquid : crystals;
        if (1 - x2 >= pureMineral1X1)
            return temperature >= mineral1MeltingT ? liquid : crystals;
        if (temperature > liquidusT(x2))
            return liquid;
        return temperature < solidusT(x2) ? crystals : inTheLoop;
    };
    return outline;
}
