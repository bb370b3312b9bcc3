#include "labexperiments.h"

#include "experiment1definition.h"
#include "experiment2definition.h"

ExperimentList labExperiments()
{
    return {experiment1Definition(), experiment2Definition()};
}
