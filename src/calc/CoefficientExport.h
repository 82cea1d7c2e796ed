#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "model/DesignModel.h"

namespace qxr {

// The three 2p2z coefficient sets of the digital design.
enum class CoefficientSet { FeedForward, VoltageLoop, CurrentLoop };

inline constexpr std::size_t kCoefficientsPerSet = 5;

// Firmware names and symbols of one set, in output order B0, B1, B2, A1, A2.
struct CoefficientSetLayout {
    std::array<const char*, kCoefficientsPerSet> names;
    std::array<CSymbol CDesignModel::*, kCoefficientsPerSet> symbols;
};

const CoefficientSetLayout& LayoutOf(CoefficientSet set);

// The set as C preprocessor definitions for the firmware, one per line with
// CR LF endings, each value the last calculated one in fixed notation with
// sign and 16 decimals. The text is complete for any magnitude.
std::string CoefficientText(const CDesignModel& model, CoefficientSet set);

}  // namespace qxr
