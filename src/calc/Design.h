#pragma once

#include <cstdint>
#include <vector>

#include "model/DesignModel.h"

namespace qxr {

// Brings every symbol of the design up to date from the values in force: the
// Mode's equations, both compensators and, in DIGITAL, their coefficients,
// with the messages they write. The loops' Bode data and figures follow in
// analysis/Recalculate.h, which is what callers run.
void CalculateDesign(CDesignModel& model);

// The stability sweep's settings that apply in a Mode (the compensator parts'
// tolerances only where the compensators are parts): every pass reads them,
// so that out-of-range entries show like any other input, and the sweep
// checks them before it runs.
std::vector<CSymbol*> SweepSettings(CDesignModel& model, int32_t mode);

}  // namespace qxr
