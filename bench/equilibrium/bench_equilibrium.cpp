// The equilibrium engine's speed on the library's systems: a furnace run
// (aim: at most 1 ms) and a whole diagram, its invariants found and every
// boundary traced (aim: at most 200 ms).
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

} // namespace

BENCHMARK(run)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(diagram)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
