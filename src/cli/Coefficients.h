#pragma once

#include <string>
#include <vector>

#include "calc/CoefficientExport.h"

namespace qxr::cli {

// The #define lines of the given sets, in the given order, with LF line ends
// as files on this system have them.
std::string FormatCoefficients(const CDesignModel& model, const std::vector<CoefficientSet>& sets);

}  // namespace qxr::cli
