#pragma once

#include <string>
#include <vector>

#include "model/DesignModel.h"

namespace qxr {

// The design messages, one per line, without their line feeds.
std::vector<std::string> MessageLines(const CDesignModel& model);

// The Mode as people read it, e.g. "DIGITAL (314)".
std::string ModeText(const CDesignModel& model);

}  // namespace qxr
