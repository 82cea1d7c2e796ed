#include "app/LogList.h"

#include "model/DesignModel.h"

std::u16string BuildLogList(const CDesignModel& model)
{
    std::u16string list(model.messages.begin(), model.messages.end());
    for (const CSymbol* symbol : model.symbols) {
        if (symbol->inUse && symbol->IsOutsideLimits())
            list += symbol->name + u" - " + symbol->description + u" value is outside of recommended limits\n";
    }
    return list;
}
