#pragma once

#include <string>
#include <string_view>
#include <vector>

// What a charge holds after a run, as the lab shows it: which phases, whose
// crystals, and how much of it is crystal. A run answers with a Charge; the
// picture's file name and the words a screen reader speaks are both made
// from it here, and the picture generator draws from the same values.
//
// Picture names are "Ch", a side letter ("a": crystals of mineral 1, "b":
// crystals of mineral 2 or of the solid solution) and a texture letter: "a"
// all glass, "b" to "m" a growing share of crystal in glass, "n" all crystal
// grown from the melt, "o" a crystalline mineral held below its melting
// point, "p" glass with crystals of both minerals (the eutectic), "q"
// crystals of both minerals without glass. A side-A charge whose lever rule
// gives more than all crystal has no texture letter ("Cha.wmf").
struct Charge
{
    // One phase of a charge computed from a system's thermodynamics, and its
    // share of the charge by mass.
    struct PhaseShare
    {
        std::string name; // the phase's name ("forsterite"); "glass" for a liquid
        bool isGlass = false;
        double fraction = 0;
        std::string colour; // its crystals' colour in a picture, "#rrggbb"
        std::string habit;  // "prism", "plate", "needle" or "grain"
        bool operator==(const PhaseShare &) const = default;
    };

    enum class Side { MineralOne, MineralTwo };
    enum class Texture {
        AllGlass,
        CrystalsInGlass, // in one of the crystal-share bands
        GrownFromMelt,
        Crystalline,
        EutecticGlass,
        BothCrystals,
        BeyondTheBands,
    };

    Side side = Side::MineralOne;
    Texture texture = Texture::AllGlass;
    int band = 0; // CrystalsInGlass only: 0 for "b" (up to 10 percent) to 11 for "m"
    // A charge of a system computed by the equilibrium engine names each of
    // its phases with its share, and has no picture file (the lab draws it);
    // empty for the lab's own experiments.
    std::vector<PhaseShare> shares;

    static Charge ofShares(std::vector<PhaseShare> shares);
    bool isComputed() const { return !shares.empty(); }

    // The charge of liquid and crystals of one side, by the crystal fraction
    // F (by mass, from the lever rule). F = 0 is all glass and F = 1 all
    // crystal; between, each band excludes its lower bound and includes its
    // upper one (0.1 is still the first band, 0.8 the tenth), except the last,
    // 0.8 < F < 1, which excludes both. A fraction that fits no band (above
    // 1, below 0, not a number) is BeyondTheBands. Bounds are 64-bit; a
    // single-precision fraction is widened first.
    static Charge fromCrystalFraction(Side side, double crystalFraction);
    static Charge of(Side side, Texture texture) { return {side, texture, 0, {}}; }

    // "Chbb.wmf"; empty for a computed charge.
    std::string pictureName() const;
    // "Charge of glass with crystals of mineral 2, up to 10 percent crystal."
    // sideBCrystals names side B's crystals ("mineral 2", "the solid solution").
    // A computed charge names every phase with its share in whole percent:
    // "Charge of glass (77 percent) with crystals of forsterite (23 percent)."
    std::string description(std::string_view sideBCrystals) const;
    // The share of a one-mineral charge that its picture shows as crystal:
    // the middle of its band, 0 for all glass, 1 for a charge without glass.
    // (How the eutectic picture shares its crystal between the two minerals
    // is the picture's own business.)
    double pictureCrystalShare() const;

    // Every charge a run can show, one picture each: for side A then side B
    // all glass, the twelve bands, grown from the melt and crystalline; then
    // the eutectic, both crystals and side A beyond the bands (33 in all).
    static std::vector<Charge> catalogue();

    bool operator==(const Charge &) const = default;
};
