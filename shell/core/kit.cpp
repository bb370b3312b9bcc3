#include "kit.h"

#include "randomsource.h"

#include <array>
#include <cmath>

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
    for (const char typed : code) {
        if (typed == '-' || typed == ' ')
            continue;
        const char character = typed >= 'a' && typed <= 'z' ? char(typed - 'a' + 'A') : typed;
        const std::size_t value = alphabet.find(character);
        if (value == std::string_view::npos)
            return fail(std::string("'") + typed + "' is in no kit code (codes use 2-9 and the letters but I, L and O)");
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

Kit::Variant Kit::variant(int experiment) const
{
    Mixer mixer(m_number * 0x100 + std::uint64_t(experiment));
    Variant variant;
    variant.meltShift1 = int(std::floor(mixer.uniform(-largestShift, largestShift + 0.999)));
    variant.meltShift2 = int(std::floor(mixer.uniform(-largestShift, largestShift + 0.999)));
    if (experiment == 1) {
        // The eutectic's X(2) of 0.42 becomes t, between 0.34 and 0.50.
        const double target = mixer.uniform(0.34, 0.50);
        variant.stretch = 0.42 * (1 - target) / (0.58 * target);
    } else {
        variant.stretch = mixer.uniform(0.75, 1.33);
    }
    return variant;
}
