#pragma once

#include <string>
#include <vector>

#include "calc/CoefficientExport.h"
#include "cli/Edits.h"

namespace qxr::cli {

// The #define lines of the given sets, in the given order, with LF line ends
// as files on this system have them.
// In the design's number format; throws a usage Failure when the format
// cannot be used.
std::string FormatCoefficients(const CDesignModel& model, const std::vector<CoefficientSet>& sets);

// The same sets as JSON: each with its sampling frequency, coefficients as
// calculated and as run, integers and post-shift for an integer format and
// the response error at its crossover (the low-pass: its corner); then the
// figures of both discrete loops.
std::string FormatCoefficientsJson(CDesignModel& model, const std::vector<CoefficientSet>& sets);

// The edits that give a design a number format.
std::vector<Edit> FormatEdits(const CoefficientFormat& format);

}  // namespace qxr::cli
