#pragma once

#include "model/DesignModel.h"

namespace qxr {

// Fills the Bode series of both loops on their grids from the design's
// transfer functions, rebuilding only the parts whose inputs changed.
void BuildBodeData(CDesignModel& model);

}  // namespace qxr
