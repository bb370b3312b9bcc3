#pragma once

#include "experimentdefinition.h"
#include "kit.h"
#include "phasediagram.h"

#include <memory>
#include <optional>

// A system of the library (or an instructor's file) as one of the lab's
// experiments: its id and title, its temperature range, its runs and
// reports, and its true diagram drawn from the engine's boundaries, with
// every field named. With a kit, the kit's version of the system. The phase
// diagram (and a kit's version) is computed when first needed, once.
ExperimentDefinition systemDefinition(const BinarySystem &system, const std::optional<Kit> &kit = std::nullopt);
// The diagram an instructor sees: the engine's boundaries, invariants
// (labelled with where they lie) and field names.
DiagramOutline systemOutline(std::shared_ptr<const PhaseDiagram> diagram);
