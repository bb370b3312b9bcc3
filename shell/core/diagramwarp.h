#pragma once

#include <vector>

// A smooth, monotone change of coordinates that turns an experiment's
// diagram into a kit's: every curve, field and run of the kit is the
// standard one seen through it, so a kit is a true system of its own.
//
// Temperature is mapped affinely, fixed by where the two end members melt:
//   T_kit = kitMelt1 + (T - melt1) * (kitMelt2 - kitMelt1) / (melt2 - melt1)
// Composition by a Möbius warp that keeps 0 and 1 and is monotone for k > 0:
//   X_kit = X / (X + k (1 - X)),      X = k X_kit / (1 - X_kit + k X_kit)
// Temperatures in `anchors` (the eutectic) map back exactly from the kit's
// own value as the key states it, to the tenth of a degree, so a student
// who types the kit's eutectic temperature reaches it. The default warp is
// the identity.
struct DiagramWarp
{
    double melt1 = 0;
    double melt2 = 1;
    double kitMelt1 = 0;
    double kitMelt2 = 1;
    double stretch = 1; // k
    std::vector<double> anchors;

    bool isIdentity() const { return stretch == 1 && kitMelt1 == melt1 && kitMelt2 == melt2; }

    double toKitX2(double x2) const;
    double toStandardX2(double kitX2) const;
    double toKitTemperature(double temperature) const;
    // A temperature that rounds to the tenth at which an anchor lies in the
    // kit is the anchor itself.
    double toStandardTemperature(double kitTemperature) const;
};
