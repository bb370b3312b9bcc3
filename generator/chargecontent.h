#pragma once

#include "charge.h"

#include <QList>
#include <QString>

namespace charge {

// The two minerals of the lab's systems. The first is pyroxene-like
// (SiO2-MgO-CaO) and grows stubby, nearly equant prisms; the second is
// feldspar-like (SiO2-Al2O3-CaO) and grows long tabular laths.
enum class Mineral { First, Second };

// How the crystals sit in the charge.
enum class Texture {
    // Crystals (possibly none) scattered through quenched melt.
    CrystalsInGlass,
    // Interlocking crystals grown from the melt, no glass left.
    GrownFromMelt,
    // A crystalline starting material held below its melting point: a
    // mosaic of equant grains with straight grain boundaries.
    Granular,
};

// What one charge picture draws, made from the lab's Charge: the share of
// the charge's area taken by each mineral (the rest is glass) and the
// texture.
struct ChargeContent
{
    QString name; // the file's base name, e.g. "Chaf"
    double firstMineralShare = 0.0;
    double secondMineralShare = 0.0;
    Texture texture = Texture::CrystalsInGlass;
    // Pictures that share this text share their layout: a series of runs
    // shows the same crystals growing rather than a new arrangement each time.
    QString layoutSeed;

    double crystalShare() const { return firstMineralShare + secondMineralShare; }
    QString fileName() const { return name + QStringLiteral(".wmf"); }

    static ChargeContent of(const Charge &charge);
    // One for every picture the lab can ask for, 33 in all.
    static QList<ChargeContent> catalogue();
};

} // namespace charge
