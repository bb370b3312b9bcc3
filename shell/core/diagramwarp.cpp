#include "diagramwarp.h"

#include <cmath>


double DiagramWarp::toKitX2(double x2) const
{
    return x2 / (x2 + stretch * (1 - x2));
}

double DiagramWarp::toStandardX2(double kitX2) const
{
    return stretch * kitX2 / (1 - kitX2 + stretch * kitX2);
}

double DiagramWarp::toKitTemperature(double temperature) const
{
    return kitMelt1 + (temperature - melt1) * (kitMelt2 - kitMelt1) / (melt2 - melt1);
}

double DiagramWarp::toStandardTemperature(double kitTemperature) const
{
    // The kit states an anchor's temperature to the tenth of a degree;
    // whatever rounds to that tenth is the anchor.
    for (const double anchor : anchors)
        if (std::round(kitTemperature * 10) == std::round(toKitTemperature(anchor) * 10))
            return anchor;
    if (kitTemperature == kitMelt1)
        return melt1;
    if (kitTemperature == kitMelt2)
        return melt2;
    return melt1 + (kitTemperature - kitMelt1) * (melt2 - melt1) / (kitMelt2 - kitMelt1);
}
