#pragma once

#include <optional>
#include <string>

#include "cli/Design.h"
#include "spice/SpiceDecks.h"

namespace qxr::cli {

// What "spice" is asked for: the deck, where to write it, and whether to run it.
struct SpiceRequest {
    SpiceDeck deck = SpiceDeck::AcVoltage;
    std::optional<std::string> deckFile;  // none: the deck goes to stdout, unless it is run
    bool run = false;
    bool asJson = false;
};

// The deck (or, when run, ngspice's figures) as the output to print; writes
// the deck file when asked. Throws a Failure when the deck cannot be written
// or ngspice fails or is missing.
std::string SpiceOutput(const SpiceRequest& request, Design& design);

}  // namespace qxr::cli
