#include "experiment2definition.h"

#include "solidsolutiondiagram.h"
#include "experiment2model.h"

ExperimentDefinition experiment2Definition()
{
    return {2, "Experiment 2", 1900, "the solid solution", [] { return std::make_unique<Experiment2Model>(); },
            &SolidSolutionDiagram::outline};
}
