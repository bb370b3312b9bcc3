#pragma once

#include "experimentdefinition.h"

// The lab's experiments, in the order of the main menu's buttons: the
// eutectic system, then the solid solution. The lab, the answer-key tool and
// the fuzz targets all take them from here.
ExperimentList labExperiments();
