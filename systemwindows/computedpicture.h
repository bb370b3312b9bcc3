#pragma once

#include "charge.h"
#include "experimentsession.h"
#include "wmfpicture.h"

// The picture of a charge computed for a system, drawn for the run rather
// than read from a file: the lab's capsule and glass, each solid phase's
// crystals in its own colour and habit, covering its share of the charge.
// Runs of one system that hold the same phases show the same crystals
// growing, as the lab's own pictures do.
class ComputedPicture
{
public:
    static wmf::ReadResult draw(const ExperimentSession &session, const Charge &charge);
};
