#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "calc/FixedPoint.h"
#include "calc/TwoPoleTwoZero.h"
#include "model/DesignModel.h"

namespace qxr {

// The three 2p2z coefficient sets of the digital design.
enum class CoefficientSet { FeedForward, VoltageLoop, CurrentLoop };

// Firmware names and symbols of one set, in output order B0, B1, B2, A1, A2,
// and what the set is designed for: its sampling frequency and the frequency
// it is matched at (the loop's required crossover, the low-pass's corner).
struct CoefficientSetLayout {
    std::array<const char*, kCoefficientsPerSet> names;
    std::array<CSymbol CDesignModel::*, kCoefficientsPerSet> symbols;
    const char* suffix;  // of the names, e.g. "VFF"
    const char* title;   // e.g. "voltage loop"
    const char* word;    // its name on the command line and in JSON, e.g. "voltage"
    CSymbol CDesignModel::*samplingFrequency;
    CSymbol CDesignModel::*matchFrequency;
    bool hasIntegrator;
};
inline constexpr std::array<CoefficientSet, 3> kCoefficientSets{
    CoefficientSet::FeedForward, CoefficientSet::VoltageLoop, CoefficientSet::CurrentLoop};

const CoefficientSetLayout& LayoutOf(CoefficientSet set);

// The set as C preprocessor definitions for the firmware, one per line with
// CR LF endings, each value the last calculated one in fixed notation with
// sign and 16 decimals. The text is complete for any magnitude.
std::string CoefficientText(const CDesignModel& model, CoefficientSet set);

// The format the design asks for (fmt__COEF, N__FRAC), as values in force.
CoefficientFormat CoefficientFormatOf(const CDesignModel& model);

// What keeps the coefficients from running as designed, one sentence each:
// a bad Qm.n word, a sampling frequency that is not a positive number, a
// crossover or corner at or above the Nyquist frequency. Empty when none.
std::vector<std::string> FirmwareProblems(const CDesignModel& model);

// The set's last calculated coefficients, as a TwoPoleTwoZero.
TwoPoleTwoZero CoefficientsOf(const CDesignModel& model, CoefficientSet set);

// A set as calculated and as the firmware runs it in a format with no
// FormatProblem, and what rounding does to its response at the frequency it
// is matched at.
struct FirmwareSet {
    TwoPoleTwoZero exact;
    QuantisedSet quantised;
    double samplingFrequency, matchFrequency;
    ResponseDifference error;  // quantised against exact at matchFrequency
};
FirmwareSet FirmwareSetOf(const CDesignModel& model, CoefficientSet set, const CoefficientFormat& format);

// The set as definitions in a format with no FormatProblem, CR LF line ends:
// for double exactly CoefficientText; for float the nearest float with an f
// suffix; for an integer format the quantised integers, then the post-shift
// and the right shift of the accumulator as POST_SHIFT_<suffix> and
// SHIFT_<suffix>.
std::string CoefficientText(const CDesignModel& model, CoefficientSet set, const CoefficientFormat& format);

// The text with each CR LF turned into LF, as files on this system have them.
std::string WithLineFeeds(const std::string& crlfText);

}  // namespace qxr
