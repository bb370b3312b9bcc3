#include "kit.h"

#include "randomsource.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::string_view alphabet = "23456789ABCDEFGHJKMNPQRSTUVWXYZ";
constexpr int base = 31;
constexpr int payloadLength = 7;
constexpr double largestShift = 40;

// SplitMix64: a well-mixed sequence from any start, so neighbouring kit
// numbers give unrelated systems.
class Mixer
{
public:
    explicit Mixer(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number in [low, high].
    double uniform(double low, double high) { return low + (high - low) * double(next() >> 11) / double(1ULL << 53); }

private:
    std::uint64_t m_state;
};

int checkValue(const std::array<int, payloadLength> &values)
{
    // sum(i * v_i, i = 1..7) + 8 * check = 0 (mod 31), and 8 * 4 = 32 = 1.
    int sum = 0;
    for (int index = 0; index < payloadLength; ++index)
        sum += (index + 1) * values[index];
    return (base - sum % base) * 4 % base;
}

// The bytes of the UTF-8 character `text` starts with, or 0 when they are
// not one.
std::size_t utf8Length(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || length > text.size())
        return 0;
    for (std::size_t index = 1; index < length; ++index) {
        if ((static_cast<unsigned char>(text[index]) >> 6) != 0x2)
            return 0;
    }
    return length;
}

char32_t codePoint(std::string_view character)
{
    const auto byte = [&](std::size_t index) { return char32_t(static_cast<unsigned char>(character[index])); };
    switch (character.size()) {
    case 1:
        return byte(0);
    case 2:
        return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    case 3:
        return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    default:
        return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
    }
}

// A handout's dashes and spaces, whichever a word processor or a web page
// put there: hyphens, en and em dashes, minus signs, no-break and thin
// spaces, zero-width spaces. None of them is a character of a code.
bool isDashOrSpace(char32_t character)
{
    static constexpr char32_t others[] = {U'-',     U' ',     U'\t',    U'\u00A0', U'\u00AD', U'\u058A', U'\u05BE',
                                          U'\u1400', U'\u1680', U'\u1806', U'\u200B', U'\u202F', U'\u2043', U'\u205F',
                                          U'\u2212', U'\u2E17', U'\u2E1A', U'\u2E3A', U'\u2E3B', U'\u2E40', U'\u3000',
                                          U'\u301C', U'\u3030', U'\u30A0', U'\uFE31', U'\uFE32', U'\uFE58', U'\uFE63',
                                          U'\uFEFF', U'\uFF0D'};
    if ((character >= U'\u2000' && character <= U'\u200A') || (character >= U'\u2010' && character <= U'\u2015'))
        return true;
    return std::find(std::begin(others), std::end(others), character) != std::end(others);
}

// A character as a message shows it: itself in quotes, or its number when
// it cannot be seen.
std::string shown(std::string_view character)
{
    const char32_t point = codePoint(character);
    if (point >= 0x20 && point != 0x7F && !(point >= 0x80 && point < 0xA0))
        return "'" + std::string(character) + "'";
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", unsigned(point));
    return std::string("the invisible character ") + number;
}

char upper(char typed)
{
    return typed >= 'a' && typed <= 'z' ? char(typed - 'a' + 'A') : typed;
}

} // namespace

Kit Kit::fromNumber(std::uint64_t number)
{
    return Kit(number % numberCount);
}

std::string Kit::code() const
{
    std::array<int, payloadLength> values{};
    std::uint64_t rest = m_number;
    for (int index = payloadLength - 1; index >= 0; --index) {
        values[index] = int(rest % base);
        rest /= base;
    }
    std::string code;
    for (const int value : values) {
        if (code.size() == 4)
            code += '-';
        code += alphabet[value];
    }
    return code + alphabet[checkValue(values)];
}

std::optional<Kit> Kit::fromCode(std::string_view code, std::string *error)
{
    const auto fail = [error](const std::string &why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    std::array<int, payloadLength + 1> values{};
    int count = 0;
    for (std::size_t at = 0; at < code.size();) {
        const std::size_t length = utf8Length(code.substr(at));
        if (length == 0)
            return fail("the code holds a byte that is not UTF-8 text");
        const std::string_view typed = code.substr(at, length);
        at += length;
        if (isDashOrSpace(codePoint(typed)))
            continue;
        const char character = typed.size() == 1 ? upper(typed[0]) : '\0';
        const std::size_t value = character == '\0' ? std::string_view::npos : alphabet.find(character);
        if (value == std::string_view::npos)
            return fail(shown(typed) + " is in no kit code (codes use 2-9 and the letters but I, L and O)");
        if (count == payloadLength + 1)
            return fail("a kit code has 8 characters; this one has more");
        values[count++] = int(value);
    }
    if (count != payloadLength + 1)
        return fail("a kit code has 8 characters; this one has " + std::to_string(count));
    std::array<int, payloadLength> payload{};
    std::uint64_t number = 0;
    for (int index = 0; index < payloadLength; ++index) {
        payload[index] = values[index];
        number = number * base + std::uint64_t(values[index]);
    }
    if (checkValue(payload) != values[payloadLength])
        return fail("this is not a kit code: a character is mistyped or two are swapped");
    return Kit(number);
}

std::uint32_t Kit::scatterStartState() const
{
    return std::uint32_t(Mixer(m_number).next() & 0xFFFFFF);
}

std::uint32_t Kit::scatterStartStateFor(const Kit *kit)
{
    return kit ? kit->scatterStartState() : RandomSource::startState;
}

std::string Kit::codeFor(const Kit *kit)
{
    return kit ? kit->code() : std::string();
}

Kit::Draws Kit::draws(int experiment) const
{
    Mixer mixer(m_number * 0x100 + std::uint64_t(experiment));
    Draws draws;
    draws.firstShift = int(std::floor(mixer.uniform(-largestShift, largestShift + 0.999)));
    draws.secondShift = int(std::floor(mixer.uniform(-largestShift, largestShift + 0.999)));
    if (experiment == 1) {
        // The eutectic's X(2) of 0.42 becomes t, between 0.34 and 0.50.
        const double target = mixer.uniform(0.34, 0.50);
        draws.stretch = 0.42 * (1 - target) / (0.58 * target);
    } else {
        draws.stretch = mixer.uniform(0.75, 1.33);
    }
    return draws;
}

int Kit::meltShift(std::string_view mineral) const
{
    // The lab's own minerals keep the shifts their kits have always had:
    // diopside and anorthite as Experiment 1 drew them, albite as
    // Experiment 2 drew its mineral 1.
    if (mineral == "diopside")
        return draws(1).firstShift;
    if (mineral == "anorthite")
        return draws(1).secondShift;
    if (mineral == "albite")
        return draws(2).firstShift;
    return int(std::floor(drawFor("melting point", mineral, -largestShift, largestShift + 0.999)));
}

double Kit::drawFor(std::string_view purpose, std::string_view name, double low, double high) const
{
    std::uint64_t hash = 0xCBF29CE484222325ULL; // FNV-1a of the name: the same on every machine
    const auto add = [&hash](std::string_view text) {
        for (const char character : text)
            hash = (hash ^ static_cast<unsigned char>(character)) * 0x100000001B3ULL;
    };
    // The melting point's draws keep the key they were first made with.
    if (purpose != "melting point") {
        add(purpose);
        add("/");
    }
    add(name);
    Mixer mixer(m_number ^ hash);
    return mixer.uniform(low, high);
}

double Kit::enthalpyScale(std::string_view solid) const
{
    return drawFor("enthalpy of fusion", solid, 0.85, 1.15);
}

double Kit::margulesShift(std::string_view parameter) const
{
    return drawFor("margules", parameter, -5, 5);
}

Kit::Variant Kit::variant(int experiment) const
{
    // Mineral 2 is anorthite in both experiments, so it melts at one
    // temperature in both.
    Variant variant;
    variant.meltShift1 = meltShift(experiment == 1 ? "diopside" : "albite");
    variant.meltShift2 = meltShift("anorthite");
    variant.stretch = draws(experiment).stretch;
    return variant;
}
