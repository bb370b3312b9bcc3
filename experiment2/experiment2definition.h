#pragma once

#include "experimentdefinition.h"
#include "kit.h"

// The solid-solution experiment as the lab lists it: "Experiment 2", the
// charge raised to 1900 degrees Celsius and lowered to a run temperature
// from 0 to 1900; its crystals are the solid solution's. A kit's variant
// moves the melting points and warps composition; the default is the
// experiment itself.
ExperimentDefinition experiment2Definition(const Kit::Variant &variant = {});
