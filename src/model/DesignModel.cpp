#include "model/DesignModel.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace {

struct CatalogueRow {
    const char16_t* name;
    const char16_t* description;
    const char16_t* unit;
    double scale;
    std::optional<double> defaultValue;
    double limitMin = 0.0;
    double limitMax = 0.0;
};

// Plain rows from the catalogue table, the Mode symbol, then the added rows.
const CatalogueRow kCatalogue[CDesignModel::kSymbolCount] = {
#define QXR_CATALOGUE_ROW(name, description, unit, scale, defaultValue)                                                \
    {u"" #name, description, unit, scale, defaultValue},
    QXR_PLAIN_SYMBOL_CATALOGUE(QXR_CATALOGUE_ROW)
#undef QXR_CATALOGUE_ROW
        {u"ad", u"Mode", u"", 1, CTop::ANALOG},
#define QXR_ADDED_CATALOGUE_ROW(type, name, description, unit, scale, defaultValue, min, max)                          \
    {u"" #name, description, unit, scale, defaultValue, min, max},
    QXR_ADDED_SYMBOL_CATALOGUE(QXR_ADDED_CATALOGUE_ROW)
#undef QXR_ADDED_CATALOGUE_ROW
};

void ResetSymbol(CSymbol& symbol)
{
    symbol.userSet = false;
    symbol.defaultValue = 0.0;
    symbol.userValue = 0.0;
    symbol.calcValue = 0.0;
    symbol.scale = 1.0;
    symbol.limitMin = 0.0;
    symbol.limitMax = 0.0;
    symbol.description.clear();
    symbol.unit.clear();
    symbol.name.clear();
    symbol.index = 0;
    symbol.isInput = false;
    symbol.inUse = false;
}

void SetRange(CSymbol& symbol, double min, double max)
{
    symbol.limitMin = min;
    symbol.limitMax = max;
}

}  // namespace

CDesignModel::CDesignModel()
    : symbols{
#define QXR_SYMBOL_ADDRESS(name, description, unit, scale, defaultValue) &name,
          QXR_PLAIN_SYMBOL_CATALOGUE(QXR_SYMBOL_ADDRESS)
#undef QXR_SYMBOL_ADDRESS
              &ad,
#define QXR_ADDED_SYMBOL_ADDRESS(type, name, description, unit, scale, defaultValue, min, max) &name,
              QXR_ADDED_SYMBOL_CATALOGUE(QXR_ADDED_SYMBOL_ADDRESS)
#undef QXR_ADDED_SYMBOL_ADDRESS
      },
      compSymbols{&v_fcp0, &v_fcp1, &v_fcz1, &i_fcp0, &i_fcp1, &i_fcz1}
{
    LoadDefaults();
}

void CDesignModel::LoadDefaults()
{
    for (std::size_t k = 0; k < kSymbolCount; ++k) {
        CSymbol& symbol = *symbols[k];
        const CatalogueRow& row = kCatalogue[k];
        ResetSymbol(symbol);
        symbol.description = row.description;
        symbol.scale = row.scale;
        symbol.unit = row.unit;
        symbol.name = row.name;
        symbol.index = static_cast<int32_t>(k);
        if (row.defaultValue) {
            symbol.defaultValue = *row.defaultValue;
            symbol.SetCalc(*row.defaultValue);
            symbol.isInput = true;
        }
        SetRange(symbol, row.limitMin, row.limitMax);
    }
    SetRange(F__X_VLOOP, 2.0, 15.0);
    SetRange(PM__VLOOP, 40.0, 75.0);
    SetRange(PM__ILOOP, 40.0, 75.0);
}

CSymbol* CDesignModel::FindByName(const std::u16string& name)
{
    return const_cast<CSymbol*>(std::as_const(*this).FindByName(name));
}

const CSymbol* CDesignModel::FindByName(const std::u16string& name) const
{
    for (const CSymbol* symbol : symbols) {
        if (symbol->name == name)
            return symbol;
    }
    return nullptr;
}

int32_t CDesignModel::Mode() const
{
    return TruncToInt32(ad.Value());
}

void CDesignModel::AppendMessage(const std::string& text)
{
    messages += text;
    messages += '\n';
}

bool DesignState::Entry::operator==(const Entry& other) const
{
    // Bit for bit, so that a NaN entry equals itself and -0 differs from 0, as in the file.
    return userSet == other.userSet && std::memcmp(&userValue, &other.userValue, sizeof userValue) == 0 &&
           std::memcmp(&calcValue, &other.calcValue, sizeof calcValue) == 0;
}

DesignState CDesignModel::SaveState() const
{
    DesignState state;
    state.entries.reserve(symbols.size());
    for (const CSymbol* symbol : symbols)
        state.entries.push_back({symbol->userSet, symbol->userValue, symbol->calcValue});
    return state;
}

void CDesignModel::RestoreState(const DesignState& state)
{
    const std::size_t count = std::min(state.entries.size(), symbols.size());
    for (std::size_t k = 0; k < count; ++k) {
        const DesignState::Entry& entry = state.entries[k];
        symbols[k]->Restore(entry.userSet, entry.userValue, entry.calcValue);
    }
}
