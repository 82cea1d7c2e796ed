#pragma once

#include "model/DesignModel.h"

namespace qxr {

// Brings the whole design up to date from the values in force: every symbol
// of the design (calc/Design.h), then both loops' Bode data and the figures
// measured on them. A Mode that is neither ANALOG nor DIGITAL designs nothing
// and leaves the loops as they were.
void Recalculate(CDesignModel& model);

}  // namespace qxr
