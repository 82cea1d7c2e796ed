#pragma once

#include <string>

#include "analysis/ControlLoops.h"
#include "model/DesignModel.h"

namespace qxr {

// The loop's Bode data as CSV: a header, then one row per grid frequency.
// Values read back as the same doubles; non-finite ones are nan, inf, -inf.
std::string FormatBodeCsv(const CDesignModel& model, ControlLoop loop);

}  // namespace qxr
