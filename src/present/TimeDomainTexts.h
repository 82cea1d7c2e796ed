#pragma once

#include <array>
#include <string>
#include <vector>

#include "timedomain/Scenarios.h"

// The time-domain figures as the Time Domain tab and the printed report
// show them (UTF-8; headings untranslated, in the context "TimeDomain").
namespace qxr {

inline constexpr std::size_t kSteadyColumns = 10;
using SteadyRow = std::array<std::string, kSteadyColumns>;

// Line, load, power factor, THD, third harmonic, IEC 61000-3-2, smallest
// margin, output mean and ripple, peak inductor current.
const SteadyRow& SteadyHeadings();
SteadyRow SteadyCells(const SteadyStatePoint& point, double pOut);

// One line of each scenario: its extremes, its settling and its verdict.
std::string LoadStepSummary(const LoadStepResult& step);
std::string StartUpSummary(const StartUpResult& startUp);
std::string HoldUpSummary(const HoldUpResult& holdUp);

// What keeps a figure of the report from existing, or what the stage cannot
// do: the reason nothing was computed, the controller at its limit, a run
// that does not settle; one sentence a line, each saying where.
std::vector<std::string> TimeDomainNotes(const TimeDomainReport& report);

}  // namespace qxr
