#include "experiment1definition.h"

#include "eutecticdiagram.h"
#include "experiment1model.h"

ExperimentDefinition experiment1Definition()
{
    return {1, "Experiment 1", 2000, "mineral 2", [] { return std::make_unique<Experiment1Model>(); },
            &EutecticDiagram::outline};
}
