#pragma once

#include "charge.h"
#include "chargepalette.h"

#include <QList>
#include <QRgb>
#include <QString>

#include <array>

namespace charge {

// The two minerals of the lab's systems. The first is pyroxene-like
// (SiO2-MgO-CaO) and grows stubby, nearly equant prisms; the second is
// feldspar-like (SiO2-Al2O3-CaO) and grows long tabular laths.
enum class Mineral { First, Second };

// The shape crystals of a mineral grow in, as seen in section: stubby,
// nearly equant prisms (octagonal sections); tabular plates or laths (long,
// with a twin line); thin needles; rounded grains.
enum class Habit { Prism, Plate, Needle, Grain };

// How a mineral's crystals look: their colour, the darker rim, the habit.
struct MineralLook
{
    QRgb colour = palette::firstMineral;
    QRgb edge = palette::firstMineralEdge;
    Habit habit = Habit::Prism;
};

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
    // The lab's own minerals: green prisms and ochre laths. A system's
    // phases bring their own.
    std::array<MineralLook, 2> looks{MineralLook{palette::firstMineral, palette::firstMineralEdge, Habit::Prism},
                                     MineralLook{palette::secondMineral, palette::secondMineralEdge, Habit::Plate}};

    // A computed charge's two minerals take domains (and, without glass,
    // grains) in proportion to their shares rather than half each, so that
    // each covers its own share of the charge.
    bool proportional = false;

    double crystalShare() const { return firstMineralShare + secondMineralShare; }
    const MineralLook &look(Mineral mineral) const { return looks[mineral == Mineral::First ? 0 : 1]; }
    QString fileName() const { return name + QStringLiteral(".wmf"); }

    static ChargeContent of(const Charge &charge);
    // A charge computed for a system: its crystal phases (at most two) in
    // their own colours and habits, glass or none; `seed` names the system
    // and phases, so that runs of the same phases show the same crystals.
    static ChargeContent ofComputed(const Charge &charge, const QString &seed);
    // One for every picture the lab can ask for, 33 in all.
    static QList<ChargeContent> catalogue();
};

} // namespace charge
