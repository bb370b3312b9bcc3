#pragma once

#include "experimentdefinition.h"
#include "phasediagram.h"

#include <memory>

// A system of the library (or an instructor's file) as one of the lab's
// experiments: its id and title, its temperature range, its runs and
// reports, and its true diagram drawn from the engine's boundaries, with
// every field named. The phase diagram is computed when first needed, once.
ExperimentDefinition systemDefinition(const BinarySystem &system);
// The diagram an instructor sees: the engine's boundaries, invariants
// (labelled with where they lie) and field names.
DiagramOutline systemOutline(std::shared_ptr<const PhaseDiagram> diagram);
