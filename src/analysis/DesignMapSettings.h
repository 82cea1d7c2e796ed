#pragma once

#include "model/DesignModel.h"

// The settings of the design maps and of the proposal drawn from them, in use
// whatever the Mode, as the sweep's are. The ends that follow from the design
// (the voltage loop's highest crossover from f__LINE, the current loop's from
// f__S, the load step's least output from V__OUT) are calculated, in the
// ANALOG and DIGITAL Modes, until the user enters them.
namespace qxr {

void ApplyDesignMapSettings(CDesignModel& model);

}  // namespace qxr
