#pragma once

#include "experimentdefinition.h"
#include "kit.h"

// The lab's experiments, in the order of the main menu's buttons: the
// eutectic system, then the solid solution; with a kit, the kit's variants
// of them. The lab, the answer-key tool and the fuzz targets all take them
// from here.
ExperimentList labExperiments(const Kit *kit = nullptr);

// The lab's experiments followed by every system of a library, each by its
// id (with a kit, the kit's version of each): what the answer-key tool
// plays and checks.
class SystemLibrary;
ExperimentList withSystems(ExperimentList experiments, const SystemLibrary &library, const Kit *kit = nullptr);
