#pragma once

#include "experimentdefinition.h"

// The eutectic experiment as the lab lists it: "Experiment 1", runs from 0
// to 2000 degrees Celsius, side-B crystals of mineral 2 itself.
ExperimentDefinition experiment1Definition();
