#pragma once

#include "model/DesignModel.h"
#include "model/LoopData.h"

#include <string>
#include <vector>

// What a choice of crossovers keeps clear of, a sentence for each loop too
// close: the voltage loop from the ripple at twice the line frequency, the
// current loop from its sampling (DIGITAL) or switching (ANALOG) frequency and
// from the boost stage's right-half-plane zero. They go with the proposal of
// the loops rather than among the design's messages, whose list for a design
// stays as it was.
namespace qxr {

std::vector<std::string> LoopSeparationNotes(CDesignModel& model);
// Those of one loop only, in the same order.
std::vector<std::string> LoopSeparationNotes(CDesignModel& model, ControlLoop loop);

}  // namespace qxr
