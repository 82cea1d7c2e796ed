#pragma once

#include "model/DesignModel.h"

// Design messages for loops that do not stay apart from what they must stay
// clear of: the voltage loop from the ripple at twice the line frequency, the
// current loop from its sampling (DIGITAL) or switching (ANALOG) frequency and
// from the boost stage's right-half-plane zero.
namespace qxr {

void AppendLoopSeparationMessages(CDesignModel& model);

}  // namespace qxr
