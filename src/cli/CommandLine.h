#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "analysis/ControlLoops.h"
#include "calc/CoefficientExport.h"
#include "cli/Edits.h"
#include "cli/SpiceCommand.h"
#include "cli/TransientOutput.h"

namespace qxr::cli {

enum class Command { Report, Json, Coeffs, Bode, Robustness, Bom, Symbols, Measured, Diff, Transient, Map, Propose, Spice };

// What one run of the program is asked to do.
struct Invocation {
    Command command = Command::Report;
    std::optional<std::string> designFile;  // none: start from a new design
    std::vector<Edit> edits;                // in command-line order, across option kinds
    std::optional<std::string> saveTo;
    std::optional<std::string> pdfTo;         // report: a PDF file instead of the text
    bool withBode = false;                    // json
    bool asJson = false;                      // robustness, coeffs, bom, measured, diff
    bool asCsv = false;                       // bom, map
    std::optional<std::string> samplesCsv;    // robustness
    ControlLoop loop = ControlLoop::Voltage;  // bode, map
    bool timeDomain = false;                  // map, propose: the time-domain pass as well
    bool applyProposal = false;               // propose: enter it before --save
    // coeffs: the sets to print, in this order
    std::vector<CoefficientSet> coefficientSets{CoefficientSet::FeedForward, CoefficientSet::VoltageLoop,
                                                CoefficientSet::CurrentLoop};
    std::optional<CoefficientFormat> format;                 // coeffs: applied after the edits
    std::optional<std::string> headerFile;                   // coeffs
    std::vector<std::string> inputFiles;                     // measured: the measurement; diff: both designs
    std::optional<std::string> waveformCsv;                  // transient
    TransientScenario scenario = TransientScenario::Steady;  // transient: the waveforms of the CSV
    SpiceRequest spice;                                      // spice
};

// Printed instead of running a command: help, the version, or a usage error.
struct EarlyExit {
    int exitCode;
    std::string out;
    std::string err;
};

std::variant<Invocation, EarlyExit> ParseCommandLine(int argc, const char* const argv[]);

}  // namespace qxr::cli
