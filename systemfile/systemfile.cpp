#include "systemfile.h"

#include "tomltext.h"

#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>

namespace {

// Bounds that keep every number a value of the physics (and away from
// infinities and overflow in the engine).
constexpr double absoluteZero = -273.15;
constexpr double hottest = 5000;               // degrees Celsius
constexpr double largestEnthalpy = 5000;       // kJ/mol
constexpr double largestMargules = 500;        // kJ/mol
constexpr double largestFormulaMass = 10000;   // g/mol
constexpr int largestUnits = 100;
constexpr std::size_t largestSolids = 16;
constexpr std::size_t largestSolutions = 4;
constexpr std::size_t largestText = 200;       // characters of a name, title or line
constexpr double oxideSumTolerance = 0.5;

// Where a problem lies and what it is; thrown nowhere, carried up.
struct Problem
{
    int line = 0;
    std::string key;
    std::string what;
};

class Reader
{
public:
    explicit Reader(const std::string &fileName) : m_fileName(fileName) {}

    bool failed() const { return m_problem.has_value(); }
    std::string error() const
    {
        return m_fileName + ":" + std::to_string(m_problem->line) + ": " + m_problem->key + ": " + m_problem->what;
    }

    void fail(const toml::node *node, int fallbackLine, const std::string &key, const std::string &what)
    {
        if (m_problem)
            return;
        const int line = node && node->source().begin.line > 0 ? int(node->source().begin.line) : fallbackLine;
        m_problem = Problem{line, key, what};
    }

    // Only these keys in a table; anything else is a misspelling.
    void allowOnly(const toml::table &table, const std::string &where, std::initializer_list<std::string_view> keys)
    {
        for (const auto &[key, value] : table) {
            if (std::find(keys.begin(), keys.end(), key.str()) == keys.end())
                fail(&value, line(table), where + std::string(key.str()), "not a key of a system file");
        }
    }

    std::string text(const toml::table &table, const std::string &where, std::string_view key, bool required = true)
    {
        const toml::node *node = table.get(key);
        const std::string name = where + std::string(key);
        if (!node) {
            if (required)
                fail(nullptr, line(table), name, "missing");
            return {};
        }
        const std::optional<std::string> value = node->value<std::string>();
        if (!value)
            fail(node, line(table), name, "must be text in quotes");
        else if (value->empty() && required)
            fail(node, line(table), name, "must not be empty");
        else if (value->size() > largestText)
            fail(node, line(table), name, "is longer than " + std::to_string(largestText) + " characters");
        return value.value_or(std::string());
    }

    double number(const toml::node *node, int fallbackLine, const std::string &name, double low, double high,
                  const std::string &range)
    {
        if (!node) {
            fail(nullptr, fallbackLine, name, "missing");
            return 0;
        }
        const std::optional<double> value = node->value<double>();
        if (!value || !std::isfinite(*value)) {
            fail(node, fallbackLine, name, "must be a number");
            return 0;
        }
        if (*value < low || *value > high)
            fail(node, fallbackLine, name, range);
        return *value;
    }

    double number(const toml::table &table, const std::string &where, std::string_view key, double low, double high,
                  const std::string &range)
    {
        return number(table.get(key), line(table), where + std::string(key), low, high, range);
    }

    const toml::table *table(const toml::table &parent, std::string_view key)
    {
        const toml::node *node = parent.get(key);
        if (!node) {
            fail(nullptr, lastLine(parent), "[" + std::string(key) + "]", "missing");
            return nullptr;
        }
        if (!node->is_table())
            fail(node, 1, std::string(key), "must be a table, [" + std::string(key) + "]");
        return node->as_table();
    }

    static int line(const toml::node &node) { return std::max(1, int(node.source().begin.line)); }
    static int lastLine(const toml::node &node) { return std::max(1, int(node.source().end.line)); }

private:
    std::string m_fileName;
    std::optional<Problem> m_problem;
};

bool isIdentifier(const std::string &id)
{
    return !id.empty() && id.size() <= 32
        && std::all_of(id.begin(), id.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
           });
}

Mineral readMineral(Reader &reader, const toml::table &table, const std::string &where)
{
    reader.allowOnly(table, where, {"name", "formula_mass", "oxides"});
    Mineral mineral;
    mineral.name = reader.text(table, where, "name");
    mineral.formulaMass = reader.number(table, where, "formula_mass", 1e-3, largestFormulaMass,
                                        "must be a formula mass in g/mol, above 0 and at most 10000");
    const toml::node *oxides = table.get("oxides");
    if (!oxides || !oxides->is_table()) {
        reader.fail(oxides, Reader::line(table), where + "oxides",
                    oxides ? "must be a table of weight percents, { SiO2 = 42.71, ... }" : "missing");
        return mineral;
    }
    double sum = 0;
    const std::vector<std::string> &known = SystemFile::knownOxides();
    // In the order the lab's reports print them.
    for (const std::string &oxide : known) {
        if (const toml::node *value = oxides->as_table()->get(oxide)) {
            const double percent = reader.number(value, Reader::line(*oxides), where + "oxides." + oxide, 0, 100,
                                                 "must be a weight percent from 0 to 100");
            mineral.oxides.emplace_back(oxide, percent);
            sum += percent;
        }
    }
    for (const auto &[key, value] : *oxides->as_table()) {
        if (std::find(known.begin(), known.end(), key.str()) == known.end())
            reader.fail(&value, Reader::line(*oxides), where + "oxides." + std::string(key.str()),
                        "is no oxide the microprobe analyses (SiO2, TiO2, Al2O3, Fe2O3, FeO, MnO, MgO, CaO, Na2O, K2O)");
    }
    if (mineral.oxides.empty())
        reader.fail(oxides, Reader::line(table), where + "oxides", "names no oxide");
    else if (std::abs(sum - 100) > oxideSumTolerance)
        reader.fail(oxides, Reader::line(table), where + "oxides",
                    "sum to " + std::to_string(sum).substr(0, std::to_string(sum).find('.') + 3) + ", not 100 +- 0.5");
    return mineral;
}

Margules readMargules(Reader &reader, const toml::table &table, const std::string &where)
{
    const toml::node *node = table.get("margules");
    const std::string name = where + "margules";
    if (!node) {
        reader.fail(nullptr, Reader::line(table), name, "missing");
        return {};
    }
    const toml::array *values = node->as_array();
    if (!values || values->empty() || values->size() > 2) {
        reader.fail(node, Reader::line(table), name, "must be [W] or [W12, W21], in kJ/mol");
        return {};
    }
    std::vector<double> numbers;
    for (std::size_t index = 0; index < values->size(); ++index)
        numbers.push_back(reader.number(values->get(index), Reader::line(table), name, -largestMargules, largestMargules,
                                        "must be from -500 to 500 kJ/mol"));
    return numbers.size() == 1 ? Margules::symmetric(numbers[0]) : Margules{numbers[0], numbers[1]};
}

// How a solid's crystals look in a charge's picture: optional.
void readLooks(Reader &reader, const toml::table &table, const std::string &where, std::string &colour,
               std::string &habit)
{
    colour = reader.text(table, where, "colour", false);
    const bool isColour = colour.size() == 7 && colour[0] == '#'
        && std::all_of(colour.begin() + 1, colour.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    if (!colour.empty() && !isColour)
        reader.fail(table.get("colour"), Reader::line(table), where + "colour", "must be \"#rrggbb\"");
    habit = reader.text(table, where, "habit", false);
    const std::vector<std::string> &habits = SystemFile::knownHabits();
    if (!habit.empty() && std::find(habits.begin(), habits.end(), habit) == habits.end())
        reader.fail(table.get("habit"), Reader::line(table), where + "habit", "must be prism, plate, needle or grain");
}

Solid readSolid(Reader &reader, const toml::table &table, const std::string &where)
{
    reader.allowOnly(table, where, {"name", "units", "melting_point", "enthalpy_of_fusion", "colour", "habit"});
    Solid solid;
    solid.name = reader.text(table, where, "name");
    const toml::node *units = table.get("units");
    const toml::array *pair = units ? units->as_array() : nullptr;
    if (!pair || pair->size() != 2) {
        reader.fail(units, Reader::line(table), where + "units",
                    units ? "must be two whole numbers, [units of mineral 1, units of mineral 2]" : "missing");
    } else {
        const auto whole = [&](std::size_t index) {
            const std::optional<std::int64_t> value = pair->get(index)->value<std::int64_t>();
            if (!value || *value < 0 || *value > largestUnits) {
                reader.fail(pair->get(index), Reader::line(table), where + "units",
                            "must be whole numbers from 0 to 100");
                return 0;
            }
            return int(*value);
        };
        solid.units1 = whole(0);
        solid.units2 = whole(1);
        if (!reader.failed() && solid.units1 == 0 && solid.units2 == 0)
            reader.fail(units, Reader::line(table), where + "units", "are both zero: the solid holds nothing");
    }
    solid.meltingPoint = reader.number(table, where, "melting_point", absoluteZero + 1e-9, hottest,
                                       "must be above absolute zero (-273.15) and at most 5000 degrees Celsius");
    solid.enthalpyOfFusion = reader.number(table, where, "enthalpy_of_fusion", 1e-6, largestEnthalpy,
                                           "must be above 0 and at most 5000 kJ/mol");
    readLooks(reader, table, where, solid.colour, solid.habit);
    return solid;
}

template <typename Each>
void forEachTable(Reader &reader, const toml::table &root, std::string_view key, std::size_t largest, Each each)
{
    const toml::node *node = root.get(key);
    if (!node)
        return;
    const toml::array *array = node->as_array();
    if (!array || !array->is_array_of_tables()) {
        reader.fail(node, 1, std::string(key), "must be tables, [[" + std::string(key) + "]]");
        return;
    }
    if (array->size() > largest) {
        reader.fail(node, 1, std::string(key), "more than " + std::to_string(largest) + " of them");
        return;
    }
    for (std::size_t index = 0; index < array->size() && !reader.failed(); ++index)
        each(*array->get(index)->as_table(), "[[" + std::string(key) + "]] " + std::to_string(index + 1) + ": ");
}

} // namespace

const std::vector<std::string> &SystemFile::knownOxides()
{
    static const std::vector<std::string> oxides{"SiO2", "TiO2", "Al2O3", "Fe2O3", "FeO", "MnO",
                                                 "MgO",  "CaO",  "Na2O",  "K2O"};
    return oxides;
}

const std::vector<std::string> &SystemFile::knownHabits()
{
    static const std::vector<std::string> habits{"prism", "plate", "needle", "grain"};
    return habits;
}

SystemFile::Result SystemFile::read(std::string_view text, const std::string &fileName)
{
    if (text.size() > largestBytes)
        return {std::nullopt, fileName + ":1: file: larger than a system file can be (256 KiB)"};
    if (const std::optional<std::size_t> line = TomlText::lineOfStrayCharacter(text))
        return {std::nullopt, fileName + ":" + std::to_string(*line)
                                  + ": TOML: a character beyond ASCII outside quotes and comments, or first after a backslash in a \"\"\" string"};
    const toml::parse_result parsed = toml::parse(text, fileName);
    if (parsed.failed()) {
        const toml::parse_error &error = parsed.error();
        return {std::nullopt, fileName + ":" + std::to_string(std::max<int>(1, int(error.source().begin.line)))
                                  + ": TOML: " + std::string(error.description())};
    }
    const toml::table &root = parsed.table();
    Reader reader(fileName);
    BinarySystem system;
    reader.allowOnly(root, "", {"id", "title", "reference", "teaches", "temperature_range", "mineral1", "mineral2",
                                "liquid", "solid", "solid_solution"});
    system.id = reader.text(root, "", "id");
    if (!reader.failed() && !isIdentifier(system.id))
        reader.fail(root.get("id"), 1, "id", "must be letters, digits and dashes (at most 32), a worksheet's first word");
    system.title = reader.text(root, "", "title");
    system.reference = reader.text(root, "", "reference");
    system.teaches = reader.text(root, "", "teaches", false);
    if (const toml::node *range = root.get("temperature_range")) {
        const toml::array *pair = range->as_array();
        if (!pair || pair->size() != 2) {
            reader.fail(range, 1, "temperature_range", "must be [lowest, highest] in degrees Celsius");
        } else {
            system.lowestTemperature = reader.number(pair->get(0), 1, "temperature_range", 0, hottest,
                                                     "must lie from 0 to 5000 degrees Celsius");
            system.highestTemperature = reader.number(pair->get(1), 1, "temperature_range", 0, hottest,
                                                      "must lie from 0 to 5000 degrees Celsius");
            if (!reader.failed() && system.lowestTemperature >= system.highestTemperature)
                reader.fail(range, 1, "temperature_range", "the lowest must be below the highest");
        }
    }
    for (const auto &[key, mineral] : {std::pair{"mineral1", &system.mineral1}, std::pair{"mineral2", &system.mineral2}}) {
        if (const toml::table *table = reader.failed() ? nullptr : reader.table(root, key))
            *mineral = readMineral(reader, *table, "[" + std::string(key) + "] ");
    }
    if (const toml::table *liquid = reader.failed() ? nullptr : reader.table(root, "liquid")) {
        reader.allowOnly(*liquid, "[liquid] ", {"margules"});
        system.liquid = readMargules(reader, *liquid, "[liquid] ");
    }
    std::set<std::string> names;
    forEachTable(reader, root, "solid", largestSolids, [&](const toml::table &table, const std::string &where) {
        system.solids.push_back(readSolid(reader, table, where));
        if (!names.insert(system.solids.back().name).second)
            reader.fail(table.get("name"), Reader::line(table), where + "name", "another solid has this name");
    });
    if (!reader.failed() && system.solids.empty())
        reader.fail(nullptr, Reader::lastLine(root), "[[solid]]", "missing: a system needs at least one solid");
    forEachTable(reader, root, "solid_solution", largestSolutions, [&](const toml::table &table, const std::string &where) {
        reader.allowOnly(table, where, {"name", "members", "margules", "colour", "habit"});
        SolidSolution solution;
        solution.name = reader.text(table, where, "name");
        const toml::node *members = table.get("members");
        const toml::array *pair = members ? members->as_array() : nullptr;
        const auto solidNamed = [&](std::size_t index) {
            const std::optional<std::string> name = pair->get(index)->value<std::string>();
            const auto found = std::find_if(system.solids.begin(), system.solids.end(),
                                            [&](const Solid &solid) { return name && solid.name == *name; });
            return found == system.solids.end() ? -1 : int(found - system.solids.begin());
        };
        if (!pair || pair->size() != 2) {
            reader.fail(members, Reader::line(table), where + "members",
                        members ? "must name two solids, [\"albite\", \"anorthite\"]" : "missing");
        } else {
            solution.member1 = solidNamed(0);
            solution.member2 = solidNamed(1);
            const bool endMembers = solution.member1 >= 0 && solution.member2 >= 0
                && system.solids[solution.member1].units2 == 0 && system.solids[solution.member2].units1 == 0;
            if (!endMembers)
                reader.fail(members, Reader::line(table), where + "members",
                            "must be the two end members: solids of units [1, 0] and [0, 1], in that order");
            else if (system.isSolutionMember(solution.member1) || system.isSolutionMember(solution.member2))
                reader.fail(members, Reader::line(table), where + "members", "already belong to another solution");
        }
        solution.margules = readMargules(reader, table, where);
        readLooks(reader, table, where, solution.colour, solution.habit);
        system.solutions.push_back(solution);
    });
    if (reader.failed())
        return {std::nullopt, reader.error()};
    return {system, {}};
}

SystemFile::Result SystemFile::readFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {std::nullopt, path + ": cannot be read"};
    std::string text(largestBytes + 1, '\0');
    file.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(file.gcount()));
    if (file.bad())
        return {std::nullopt, path + ": cannot be read"};
    return read(text, path);
}
