#pragma once

#include "diagramoutline.h"
#include "experimentmodel.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What makes a furnace experiment one of the lab's: its number and title,
// the hottest run it accepts, how the words for a charge name its side-B
// crystals, and how to make its run model. The lab, the answer-key tool and
// the fuzz targets all take their experiments from one list of these;
// the answer-key tool also draws an experiment's true diagram from it;
// window geometry stays with the windows.
struct ExperimentDefinition
{
    int number = 0;           // 1, 2, ...: "exp1" in a worksheet; 0 for a system of the library
    std::string title;        // "Experiment 1"
    int temperatureLimit = 0; // degrees Celsius: entries from 0 up to this are accepted
    std::string sideBCrystals; // "mineral 2", "the solid solution"
    std::function<std::unique_ptr<ExperimentModel>()> makeModel;
    // The true diagram, for instructors.
    std::function<DiagramOutline()> outline;
    // A system computed from its thermodynamics: its id ("fo-sio2"), which a
    // worksheet and a notebook call it by, and the lowest temperature a run
    // accepts (degrees Celsius).
    std::string id;
    int lowestTemperature = 0;

    // "exp1", or the system's id.
    std::string worksheetName() const { return number > 0 ? "exp" + std::to_string(number) : id; }
    // "1", or the system's id: the notebook's experiment column.
    std::string notebookName() const { return number > 0 ? std::to_string(number) : id; }
};

using ExperimentList = std::vector<ExperimentDefinition>;
