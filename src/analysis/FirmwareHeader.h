#pragma once

#include <string>
#include <vector>

#include "model/DesignModel.h"

namespace qxr {

// A self-contained C99 header for the firmware: the three coefficient sets in
// the design's format, each with its sampling frequency and post-shift, the
// design's figures and description in a comment, and a step function that
// runs a set with the accumulator its format needs, saturating.
struct FirmwareHeader {
    std::string text;                   // LF line ends; empty when there are problems
    std::vector<std::string> problems;  // why no header could be written
};

// Refused for a design not in DIGITAL mode, with FirmwareProblems, or with
// coefficients that are not finite.
FirmwareHeader FirmwareHeaderOf(const CDesignModel& model, const std::u16string& description);

}  // namespace qxr
