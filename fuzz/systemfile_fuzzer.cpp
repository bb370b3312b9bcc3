// A system file as an instructor might hand it in, whatever its bytes: the
// reader must answer with a system or an error naming a line, never crash,
// hang or allocate without bound. A system it accepts is then computed: a
// run at a few temperatures, its invariants and a short cooling of each
// kind, so that the numbers of an accepted file cannot break the engine
// either.
#include "coolingpath.h"
#include "phasediagram.h"
#include "systemfile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const SystemFile::Result read = SystemFile::read(std::string_view(reinterpret_cast<const char *>(data), size), "fuzz.toml");
    if (!read.system || read.error.size() > 0)
        return 0;
    const PhaseDiagram diagram(*read.system);
    for (const double celsius : {read.system->lowestTemperature, 1200.0, read.system->highestTemperature})
        diagram.runAt(0.37, celsius);
    for (const CoolingPath::Kind kind : {CoolingPath::Kind::Equilibrium, CoolingPath::Kind::Fractional}) {
        const CoolingPath path(*read.system, 0.37, read.system->highestTemperature, read.system->lowestTemperature,
                               std::max(1.0, (read.system->highestTemperature - read.system->lowestTemperature) / 8), kind);
        if (!path.steps().empty())
            CoolingPath::traverse(path.crystalsAt(path.steps().size() - 1).empty()
                                      ? std::vector<CoolingPath::Layer>{}
                                      : path.crystalsAt(path.steps().size() - 1).front(),
                                  5);
    }
    return 0;
}
