#pragma once

#include <string>

#include "analysis/Robustness.h"

class CDesignModel;

namespace qxr::cli {

// The stability sweep as the readable text of `robustness`: per loop the
// nominal figures, the envelope, the percentiles, the yield and the worst corner.
std::string FormatRobustnessText(const RobustnessReport& report, const RobustnessInputs& inputs,
                                 const CDesignModel& model);

// The same as one JSON object (`robustness --json`).
std::string FormatRobustnessJson(const RobustnessReport& report, const RobustnessInputs& inputs);

// Collects one CSV row per Monte Carlo sample: its number, the varied values
// in SI units and both loops' four figures.
class SamplesCsv {
public:
    explicit SamplesCsv(const RobustnessInputs& inputs);
    SampleSink Sink();
    const std::string& Text() const { return text_; }

private:
    const RobustnessInputs& inputs_;
    std::string text_;
    std::size_t rows_ = 0;
};

}  // namespace qxr::cli
