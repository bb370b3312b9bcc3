// The equilibrium engine's speed on the library's systems: a furnace run
// (aim: at most 1 ms) and a whole diagram, its invariants found and every
// boundary traced (aim: at most 200 ms), and a 500-step cooling path in
// both kinds (aim: at most 50 ms).
#include "coolingpath.h"
#include "phasediagram.h"
#include "systemlibrary.h"

#include <benchmark/benchmark.h>

namespace {

const SystemLibrary &library()
{
    static const SystemLibrary systems = SystemLibrary::builtIn();
    return systems;
}

// A run across the diagram: bulk and temperature stepped so that every
// field is visited.
void run(benchmark::State &state)
{
    const BinarySystem &system = library().systems().at(std::size_t(state.range(0)));
    const PhaseDiagram diagram(system);
    int step = 0;
    for (auto _ : state) {
        const double bulk = (step % 97) / 96.0;
        const double celsius = system.lowestTemperature
            + (system.highestTemperature - system.lowestTemperature) * ((step * 37) % 101) / 100.0;
        benchmark::DoNotOptimize(diagram.runAt(bulk, celsius));
        ++step;
    }
    state.SetLabel(system.id);
}

// A diagram from nothing: invariants, then every boundary over the
// system's range, as the answer-key tool draws it.
void diagram(benchmark::State &state)
{
    const BinarySystem &system = library().systems().at(std::size_t(state.range(0)));
    for (auto _ : state) {
        const PhaseDiagram diagram(system);
        benchmark::DoNotOptimize(diagram.boundaries(system.lowestTemperature, system.highestTemperature));
    }
    state.SetLabel(system.id);
}

// 500 one-degree steps down from the top of the system's range, from a
// bulk on mineral 1's side, equilibrium (range 1) or fractional (range 2).
void cooling(benchmark::State &state)
{
    const BinarySystem &system = library().systems().at(std::size_t(state.range(0)));
    const auto kind = state.range(1) == 1 ? CoolingPath::Kind::Equilibrium : CoolingPath::Kind::Fractional;
    const double from = std::min(system.highestTemperature, 1900.0);
    for (auto _ : state) {
        const CoolingPath path(system, 0.3, from, from - 499, 1, kind);
        benchmark::DoNotOptimize(path.steps().back());
    }
    state.SetLabel(system.id + (kind == CoolingPath::Kind::Equilibrium ? " equilibrium" : " fractional"));
}

} // namespace

BENCHMARK(cooling)->ArgsProduct({{0, 1, 2, 3}, {1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(run)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(diagram)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
