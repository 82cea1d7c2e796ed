// Feeds arbitrary bytes to the design file reader. Nothing may crash, hang or
// allocate beyond what the input justifies, and whatever loads must save and
// load again without change.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/DesignFile.h"
#include "model/DesignModel.h"

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "design file round trip: %s\n", what);
    std::abort();
}

// Loads a saved image into a fresh design and saves that again.
std::vector<uint8_t> Resave(const std::vector<uint8_t>& saved)
{
    CDesignModel model;
    std::u16string description;
    if (LoadDesign(saved.data(), saved.size(), model, description) != FileResult::Ok)
        Fail("a saved design does not load");
    return SaveDesign(model, description);
}

// A load keeps the name a file gives a symbol, and saving writes that name as
// the key, which the next load does not know. Only a design whose symbols all
// carry their catalogue names comes back byte for byte after one round trip.
bool KeepsCatalogueNames(const CDesignModel& model)
{
    static const CDesignModel catalogue;
    for (std::size_t k = 0; k < CDesignModel::kSymbolCount; ++k) {
        if (model.symbols[k]->name != catalogue.symbols[k]->name)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    CDesignModel model;
    std::u16string description;
    if (LoadDesign(data, size, model, description) != FileResult::Ok)
        return 0;
    const std::vector<uint8_t> saved = SaveDesign(model, description);
    const std::vector<uint8_t> resaved = Resave(saved);
    if (KeepsCatalogueNames(model)) {
        if (resaved != saved)
            Fail("saving the reloaded design gives other bytes");
    } else if (Resave(resaved) != resaved) {
        Fail("a design with renamed symbols does not settle after one round trip");
    }
    return 0;
}
