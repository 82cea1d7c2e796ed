#pragma once

#include <string>
#include <vector>

#include "analysis/DiscreteLoop.h"
#include "analysis/ExactMetrics.h"
#include "analysis/Robustness.h"
#include "model/LoopData.h"

// A loop's figures as the Bode pages' fields and the printed report show
// them (UTF-8): whole hertz, degrees and decibels.
namespace qxr {

struct StabilityTexts {
    std::string crossover;
    std::string phaseMargin;
    std::string gainMargin;  // empty when there is neither a margin nor a curve to bound it
    std::string slope;
};
// loopGains: the loop's gains as plotted; its last one bounds a gain margin
// that could not be measured.
StabilityTexts FormatStability(const LoopData& loop, const std::vector<double>& loopGains);

// The stability sweep of a loop: minimum and maximum of each figure over the
// corners and samples, and the right-half-plane zero; all empty without a
// computed sweep.
struct SweepTexts {
    std::string crossover;
    std::string phaseMargin;
    std::string gainMargin;
    std::string slope;
    std::string rhpz;
    std::string rhpzSpread;
};
SweepTexts FormatSweep(const RobustnessReport* report, ControlLoop loop);

// The figures of a measured loop: "n/a" for one that could not be found,
// "none" for a gain margin the points do not bound.
StabilityTexts FormatMeasured(const ExactMetrics& metrics);

// The digital loop as the firmware runs it, and its difference from the prototype.
struct DiscreteTexts {
    std::string crossover;
    std::string phaseMargin;
    std::string gainMargin;
    std::string difference;
};
DiscreteTexts FormatDiscrete(const DiscreteLoopFigures& figures);

// Three significant digits with an engineering prefix: "9.66 Hz", "13.8 kHz";
// empty for a frequency that is not finite.
std::string FrequencyText(double hz);

}  // namespace qxr
