#include "app/LogList.h"

#include "model/DesignModel.h"

namespace {

bool HasLimits(const CSymbol& symbol)
{
    // A NaN limit counts as a limit.
    return !(symbol.limitMin == 0.0) || !(symbol.limitMax == 0.0);
}

bool IsListed(const CSymbol& symbol)
{
    const double value = symbol.Value();
    return HasLimits(symbol) && (value < symbol.limitMin || value > symbol.limitMax) && symbol.inUse;
}

}  // namespace

std::u16string BuildLogList(const CDesignModel& model)
{
    std::u16string list(model.messages.begin(), model.messages.end());
    for (const CSymbol* symbol : model.symbols) {
        if (IsListed(*symbol))
            list += symbol->name + u" - " + symbol->description + u" value is outside of recommended limits\n";
    }
    return list;
}
