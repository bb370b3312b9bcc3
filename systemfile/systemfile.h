#pragma once

#include "binarysystem.h"

#include <optional>
#include <string>
#include <string_view>

// A binary system described in a TOML file, the form an instructor writes:
//
//   id = "fo-sio2"                      # letters, digits, dashes
//   title = "Forsterite – Silica"
//   reference = "Bowen and Andersen (1914)"
//   teaches = "..."                     # optional: one line on what it teaches
//   temperature_range = [1000, 2000]    # optional: degrees Celsius a run may have
//   [mineral1]  name, formula_mass (g/mol), oxides = { SiO2 = 42.71, ... } (weight percent)
//   [mineral2]  the same
//   [liquid]    margules = [W] or [W12, W21]          (kJ/mol)
//   [[solid]]   name, units = [a, b], melting_point (degrees Celsius),
//               enthalpy_of_fusion (kJ per mol of formula), optional colour "#rrggbb" and habit
//   [[solid_solution]]  name, members = [two solids: units [1, 0] and [0, 1]], margules
//
// The file is untrusted: every value is checked (a melting point below
// absolute zero, oxides not summing to 100 +- 0.5, a solid of no units, a
// solution whose members are not end members, an unknown key, a number too
// large to be one) and an error names the file, the line and the key.
class SystemFile
{
public:
    // A system file is a page of text; anything larger is refused unread.
    static constexpr std::size_t largestBytes = 256 * 1024;

    struct Result
    {
        std::optional<BinarySystem> system;
        std::string error; // "FILE:LINE: KEY: what is wrong"
    };

    static Result read(std::string_view text, const std::string &fileName);
    static Result readFile(const std::string &path);

    // The oxides the lab's microprobe analyses, in the order a report
    // prints them.
    static const std::vector<std::string> &knownOxides();
    // The crystal habits a picture can draw.
    static const std::vector<std::string> &knownHabits();
};
