#include "labexperiments.h"

#include "experiment1definition.h"
#include "experiment2definition.h"
#include "systemdefinition.h"
#include "systemlibrary.h"

ExperimentList labExperiments(const Kit *kit)
{
    if (!kit)
        return {experiment1Definition(), experiment2Definition()};
    return {experiment1Definition(kit->variant(1)), experiment2Definition(kit->variant(2))};
}

ExperimentList withSystems(ExperimentList experiments, const SystemLibrary &library, const Kit *kit)
{
    for (const BinarySystem &system : library.systems())
        experiments.push_back(systemDefinition(system, kit ? std::optional<Kit>(*kit) : std::nullopt));
    return experiments;
}
