#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A student's kit: a short code that gives the student a consistent system
// of their own. It fixes where the analytical scatter starts and, for each
// experiment, a variant of its diagram (see DiagramWarp): how far each end
// member's melting point moves (at most 40 degrees) and how composition is
// warped. A mineral's melting point moves by the same amount in every
// experiment of a kit: anorthite, mineral 2 of both, melts at one
// temperature in both.
//
// A code is eight characters shown as two groups of four, "K7M2-QX4J":
// seven carry the kit's number, the eighth is a check character. Letters and
// digits that look alike are not used (no 0, O, 1, I, L), so the alphabet
// has 31 characters; case, dashes and spaces are ignored (any of them: a
// handout's en dash or no-break space as well). The check character makes
// the weighted sum of the eight values, position i weighing i, a multiple
// of 31: since 31 is prime, a single mistyped character and two neighbours
// swapped always break it, so a typo is an error, never another system.
class Kit
{
public:
    struct Variant
    {
        int meltShift1 = 0; // degrees Celsius, -40 to 40
        int meltShift2 = 0;
        double stretch = 1; // the composition warp's k
    };

    // Kits are numbered from 0 to numberCount - 1.
    static constexpr std::uint64_t numberCount = 27'512'614'111ULL; // 31^7

    static Kit fromNumber(std::uint64_t number);
    // The kit a code stands for, or nothing with `error` saying why.
    static std::optional<Kit> fromCode(std::string_view code, std::string *error = nullptr);

    std::uint64_t number() const { return m_number; }
    std::string code() const;
    // Where the scatter's generator starts instead of its usual state.
    std::uint32_t scatterStartState() const;
    // The same for a session that may have no kit (nullptr: the lab as it
    // stands, with the scatter's usual start and no code in its notebook).
    static std::uint32_t scatterStartStateFor(const Kit *kit);
    static std::string codeFor(const Kit *kit);
    // Experiment 1's eutectic lands between X(2) 0.34 and 0.50; Experiment
    // 2's loop is warped as much.
    Variant variant(int experiment) const;
    // How far the kit moves the melting point of a mineral, by its name
    // ("anorthite"), in degrees Celsius from -40 to 40: the same in every
    // experiment and system.
    int meltShift(std::string_view mineral) const;
    // How a kit scales a solid's enthalpy of fusion, by its name: 0.85 to
    // 1.15, the same in every system.
    double enthalpyScale(std::string_view solid) const;
    // How far a kit moves a Margules parameter, named by its system and
    // place ("fo-sio2 liquid W12"): -5 to 5 kJ/mol.
    double margulesShift(std::string_view parameter) const;

private:
    explicit Kit(std::uint64_t number) : m_number(number) {}

    // What an experiment's own sequence draws: two shifts, then the warp.
    struct Draws
    {
        int firstShift = 0;
        int secondShift = 0;
        double stretch = 1;
    };
    Draws draws(int experiment) const;
    // A number in [low, high] drawn for a name: the same for the same name.
    double drawFor(std::string_view purpose, std::string_view name, double low, double high) const;

    std::uint64_t m_number;
};
