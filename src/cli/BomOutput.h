#pragma once

#include <string>

class CDesignModel;

namespace qxr::cli {

// The parts of the calculated design with their standard values, and both
// loops with those values beside the design's: readable text, CSV (the bill
// of materials) or one JSON object with the values in SI units.
std::string FormatBomText(CDesignModel& model);
std::string FormatBomCsv(CDesignModel& model);
std::string FormatBomJson(CDesignModel& model);

}  // namespace qxr::cli
