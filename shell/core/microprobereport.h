#pragma once

#include <string>
#include <utility>
#include <vector>

// What one press of a microprobe button gives: the report's text as the
// box shows it (CR LF line ends) and, for each analysed phase, the values
// behind its column, so that a record of the session can hold exactly the
// numbers the student saw without reading them back from the text.
struct PhaseAnalysis
{
    std::string phase; // the column heading: "glass", "crystal", "crystal(1)", "crystal(2)"
    std::vector<std::pair<std::string, double>> oxides; // printed order, weight percent
    double total = 0;
    double x2 = 0;
};

struct MicroprobeReport
{
    std::string text;
    float temperature = 0; // the run temperature the report states
    std::vector<PhaseAnalysis> phases;
};
