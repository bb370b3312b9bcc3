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

DiagramOutline EutecticDiagram::outline()
{
    const std::string liquid = "liquid";
    const std::string withMineral1 = "liquid + crystals of mineral 1";
    const std::string withMineral2 = "liquid + crystals of mineral 2";
    const std::string bothCrystals = "crystals of mineral 1 + crystals of mineral 2";
    const std::string atEutectic = "eutectic: liquid + crystals of mineral 1 and mineral 2";
    DiagramOutline outline;
    outline.curves.push_back({"liquidus", DiagramOutline::sampled(0, eutecticX2, 42, sideALiquidusT)});
    outline.curves.push_back({"liquidus", DiagramOutline::sampled(eutecticX2, 1, 58, sideBLiquidusT)});
    outline.curves.push_back(
        {"solidus", {{0, mineral1MeltingT}, {0, eutecticT}, {1, eutecticT}, {1, mineral2MeltingT}}});
    outline.labels = {{{0.45, 1480}, liquid},
                      {{0.17, 1320}, withMineral1},
                      {{0.74, 1370}, withMineral2},
                      {{0.5, 1180}, bothCrystals},
                      {{eutecticX2, eutecticT - 22}, "eutectic", DiagramOutline::Point{eutecticX2, eutecticT}}};
    outline.fieldAt = [=](double x2, double temperature) {
        if (x2 >= pureMineral2X2)
            return temperature >= mineral2MeltingT ? liquid : std::string("crystals of mineral 2");
        if (x2 <= pureMineral1X2)
            return temperature >= mineral1MeltingT ? liquid : std::string("crystals of mineral 1");
        if (temperature < eutecticT)
            return bothCrystals;
        if (temperature == eutecticT)
            return atEutectic;
        if (x2 >= eutecticX2)
            return temperature > sideBLiquidusT(x2) ? liquid : withMineral2;
        return temperature > sideALiquidusT(x2) ? liquid : withMineral1;
    };
    return outline;
}
