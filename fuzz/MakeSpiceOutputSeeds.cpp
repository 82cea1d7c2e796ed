// Writes the seed inputs of the ngspice output fuzz target: what ngspice
// itself writes for the default design's AC decks and its transient deck
// (every few lines, so each seed stays small) and a damaged output. Each
// begins with the byte that chooses its layout: '0' an AC deck's, '1' the
// transient deck's. Needs ngspice; run it again when a deck's output changes:
//   cmake --build build-fuzz --target qxr_spice_output_seeds
//   build-fuzz/fuzz/qxr_spice_output_seeds fuzz/corpus/spice-output
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SeedFiles.h"
#include "analysis/Recalculate.h"
#include "model/DesignModel.h"
#include "spice/SpiceRun.h"

namespace {

using namespace qxr;

// The header and every nth line after it.
std::string EveryNthLine(const std::string& text, std::size_t n)
{
    std::string kept;
    std::size_t line = 0;
    for (std::size_t start = 0; start < text.size(); ++line) {
        const std::size_t end = text.find('\n', start) + 1;
        if (line % n == 0)
            kept += text.substr(start, end - start);
        start = end;
    }
    return kept;
}

std::string OutputOf(const SpiceInputs& inputs, SpiceDeck deck)
{
    const SpiceRun run = RunNgspice(WriteSpiceDeck(inputs, deck).text);
    if (!run.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", SpiceDeckWord(deck), run.error.c_str());
        std::exit(1);
    }
    return run.data;
}

}  // namespace

int main(int argc, char** argv)
{
    CDesignModel model;
    Recalculate(model);
    const SpiceInputs inputs = ReadSpiceInputs(model, "seeds");
    const std::string current = OutputOf(inputs, SpiceDeck::AcCurrent);
    return WriteSeedFiles(argc, argv,
                          {
                              {"ac-voltage", "0" + EveryNthLine(OutputOf(inputs, SpiceDeck::AcVoltage), 20)},
                              {"ac-current", "0" + EveryNthLine(current, 20)},
                              {"transient", "1" + EveryNthLine(OutputOf(inputs, SpiceDeck::Transient), 2000)},
                              {"ac-damaged", "0" + EveryNthLine(current, 40) + " 1e300 nan 2,5\n 1 2"},
                          });
}
