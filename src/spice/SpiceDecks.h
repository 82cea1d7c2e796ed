#pragma once

#include <string>

#include "spice/SpiceInputs.h"

// The design as ngspice netlists: the AC decks of both loops, which measure
// the loop gain as a network analyser would, and the transient deck of the
// whole ANALOG stage. Each deck is self-contained and writes its results to
// kSpiceDataFile in the folder ngspice runs in.
namespace qxr {

enum class SpiceDeck { AcVoltage, AcCurrent, Transient };

// The deck's word on the command line and in the deck ("ac-voltage").
const char* SpiceDeckWord(SpiceDeck deck);

inline constexpr const char* kSpiceDataFile = "qxr-spice.data";

struct SpiceDeckText {
    std::string text;        // the netlist; empty when it cannot be written
    std::string notWritten;  // why (a sentence); empty when written
};

SpiceDeckText WriteSpiceDeck(const SpiceInputs& inputs, SpiceDeck deck);

// The transient deck's schedule (s): full load from the operating point to
// fullLoadEnd, whose last line period is the steady state; then the load
// at P__STEP_FROM, stepped to P__STEP_TO at stepStart and back at stepBack.
// Its output is on a grid of samplesPerPeriod a line period.
struct SpiceTransientTimes {
    double linePeriod = 0, fullLoadEnd = 0, stepStart = 0, stepBack = 0, end = 0, gridStep = 0;
};
inline constexpr int kSpiceSamplesPerPeriod = 512;
SpiceTransientTimes TransientTimesOf(const TimeDomainInputs& inputs);

// A value as ngspice reads it, with an engineering prefix ("4.12k", "820n",
// "1.5Meg") and ten significant digits, trailing zeros dropped.
std::string SpiceValue(double value);

// The vectors each deck writes after its scale, in order.
inline constexpr const char* kAcVectors[] = {"gain", "phase"};                // dB and degrees over frequency (Hz)
inline constexpr const char* kTransientVectors[] = {"v(vin)", "il", "vout"};  // V, A, V over time (s)

}  // namespace qxr
