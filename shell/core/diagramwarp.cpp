#include "diagramwarp.h"

#include <cmath>

namespace {
constexpr double anchorReach = 0.005; // degrees Celsius
}

double DiagramWarp::toKitX2(double x2) const
{
    return x2 / (x2 + stretch * (1 - x2));
}

double DiagramWarp::toSpecifiedX2(double kitX2) const
{
    return stretch * kitX2 / (1 - kitX2 + stretch * kitX2);
}

double DiagramWarp::toKitTemperature(double temperature) const
{
    return kitMelt1 + (temperature - melt1) * (kitMelt2 - kitMelt1) / (melt2 - melt1);
}

double DiagramWarp::toSpecifiedTemperature(double kitTemperature) const
{
    for (const double anchor : anchors)
        if (std::fabs(kitTemperature - toKitTemperature(anchor)) < anchorReach)
            return anchor;
    if (kitTemperature == kitMelt1)
        return melt1;
    if (kitTemperature == kitMelt2)
        return melt2;
    return melt1 + (kitTemperature - kitMelt1) * (melt2 - melt1) / (kitMelt2 - kitMelt1);
}
