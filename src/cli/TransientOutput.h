#pragma once

#include <string>

#include "timedomain/Scenarios.h"

namespace qxr::cli {

// The time-domain report as text for people and as one JSON object for
// scripts: the steady states with their harmonics against IEC 61000-3-2, the
// load step, the start-up and the hold-up.
std::string FormatTransientText(const TimeDomainReport& report, const TimeDomainInputs& inputs);
std::string FormatTransientJson(const TimeDomainReport& report, const TimeDomainInputs& inputs);

// The scenarios a waveform CSV can be written of, by their word on the
// command line; the steady state is the one at V__IN_NORM and full load.
enum class TransientScenario { Steady, Step, StartUp, HoldUp };
// time, line voltage, input current, inductor current, output voltage and
// the voltage controller's output, one row a sample.
std::string FormatTransientCsv(const TimeDomainReport& report, TransientScenario scenario);

}  // namespace qxr::cli
