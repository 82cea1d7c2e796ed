#include "analysis/LoopSeparation.h"

#include "analysis/NumberText.h"
#include "analysis/Robustness.h"

#include <utility>

namespace qxr {

namespace {

// The factor a crossover keeps from the ripple and from the right-half-plane
// zero, and the share of the sampling or switching frequency it stays under.
constexpr double kSeparation = 5;
constexpr double kSamplingShare = 1.0 / 6;

std::string Frequency(double hz)
{
    return FormatEngineering(hz, "Hz", 3);
}

std::vector<std::string> VoltageLoopNotes(CDesignModel& m)
{
    const double voltageCrossover = m.Read(m.F__X_VLOOP);
    const double ripple = 2 * m.Read(m.f__LINE);
    if (voltageCrossover * kSeparation <= ripple)
        return {};
    return {"The voltage loop's crossover of " + Frequency(voltageCrossover) +
            " is within a factor of 5 of twice the line frequency (" + Frequency(ripple) +
            "): the output's ripple passes into the current reference and distorts the line current."};
}

std::vector<std::string> CurrentLoopNotes(CDesignModel& m)
{
    std::vector<std::string> notes;
    const double currentCrossover = m.Read(m.F__X_ILOOP);
    const bool digital = m.Mode() == CTop::DIGITAL;
    const double clock = digital ? m.Read(m.F__SAMP) : m.Read(m.f__S);
    if (currentCrossover > kSamplingShare * clock)
        notes.push_back("The current loop's crossover of " + Frequency(currentCrossover) + " is above a sixth of the " +
                        (digital ? "sampling frequency F__SAMP (" : "switching frequency f__S (") + Frequency(clock) +
                        ").");

    const double rhpz = LowestRhpz(m);
    if (currentCrossover * kSeparation > rhpz)
        notes.push_back(
            "The current loop's crossover of " + Frequency(currentCrossover) +
            " is within a factor of 5 of the lowest right-half-plane zero over line, load and inductance (" +
            Frequency(rhpz) + ").");
    return notes;
}

}  // namespace

std::vector<std::string> LoopSeparationNotes(CDesignModel& m, ControlLoop loop)
{
    return loop == ControlLoop::Voltage ? VoltageLoopNotes(m) : CurrentLoopNotes(m);
}

std::vector<std::string> LoopSeparationNotes(CDesignModel& m)
{
    std::vector<std::string> notes = VoltageLoopNotes(m);
    for (std::string& note : CurrentLoopNotes(m))
        notes.push_back(std::move(note));
    return notes;
}

}  // namespace qxr
