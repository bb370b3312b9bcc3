#pragma once

#include "experimentdefinition.h"
#include "kit.h"

// The eutectic experiment as the lab lists it: "Experiment 1", runs from 0
// to 2000 degrees Celsius, side-B crystals of mineral 2 itself. A kit's
// variant moves the melting points and warps composition; the default is the
// experiment itself.
ExperimentDefinition experiment1Definition(const Kit::Variant &variant = {});
