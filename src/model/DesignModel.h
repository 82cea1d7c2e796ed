#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/LoopData.h"
#include "model/Symbol.h"
#include "model/SymbolCatalogue.h"

// The user's part of a design, as its file holds it: every symbol's entry
// flag and both values, in the order of CDesignModel::symbols.
struct DesignState {
    struct Entry {
        bool userSet = false;
        double userValue = 0.0;
        double calcValue = 0.0;
        bool operator==(const Entry& other) const;
    };
    std::vector<Entry> entries;
    bool operator==(const DesignState& other) const { return entries == other.entries; }
};

// The whole state of one design: the catalogue symbols, the design messages
// and what the calculation leaves of both loops. The calculation itself is in
// the layers above (analysis/Recalculate.h); the model only holds and reads.
// Symbols are embedded by value and the index points into the model itself,
// so a model is neither copied nor moved.
class CDesignModel {
public:
    // The symbols up to and including the Mode `ad`; the added ones follow.
    static constexpr std::size_t kFirstAddedSymbol = 98;
#define QXR_COUNT_SYMBOL(type, name, description, unit, scale, defaultValue, min, max) +1
    static constexpr std::size_t kSymbolCount = kFirstAddedSymbol QXR_ADDED_SYMBOL_CATALOGUE(QXR_COUNT_SYMBOL);
#undef QXR_COUNT_SYMBOL

    CDesignModel();
    CDesignModel(const CDesignModel&) = delete;
    CDesignModel& operator=(const CDesignModel&) = delete;

    // Returns every symbol to its catalogue state; discards all user entries.
    void LoadDefaults();
    // The symbol whose name equals the argument exactly, or nullptr.
    CSymbol* FindByName(const std::u16string& name);
    const CSymbol* FindByName(const std::u16string& name) const;

    // The value in force of a symbol, marking it as taking part in the design.
    // Every equation reads this way, and so does every view that shows a value
    // because the design depends on it.
    double Read(CSymbol& symbol)
    {
        return ReadInForce(symbol);
    }
    // The Mode the design is calculated for: `ad`'s value in force truncated
    // to a CTop value (see TruncToInt32). Recalculate marks `ad` in use.
    int32_t Mode() const;

    void AppendMessage(const std::string& text);

    // What a design file would hold, and back. Restoring does not recalculate;
    // the caller runs Recalculate, as after loading a file.
    DesignState SaveState() const;
    void RestoreState(const DesignState& state);

    // model/DesignFile.cpp: the model's part of a design file: every symbol's
    // record under its name, in catalogue order, then the end marker. Loading
    // takes the records in any order, skips unknown names, lets a later
    // duplicate win and does not recalculate.
    void Serialize(ArchiveWriter& archive) const;
    void Serialize(ArchiveReader& archive);

    qxr::LoopData& Loop(qxr::ControlLoop loop)
    {
        return loops[static_cast<std::size_t>(loop)];
    }
    const qxr::LoopData& Loop(qxr::ControlLoop loop) const
    {
        return loops[static_cast<std::size_t>(loop)];
    }

    // --- the state
#define QXR_DECLARE_SYMBOL(name, description, unit, scale, defaultValue) CSymbol name;
    QXR_PLAIN_SYMBOL_CATALOGUE(QXR_DECLARE_SYMBOL)
#undef QXR_DECLARE_SYMBOL
    CSymbolEnum<CTop> ad;
#define QXR_DECLARE_ADDED_SYMBOL(type, name, description, unit, scale, defaultValue, min, max) type name;
    QXR_ADDED_SYMBOL_CATALOGUE(QXR_DECLARE_ADDED_SYMBOL)
#undef QXR_DECLARE_ADDED_SYMBOL

    std::array<CSymbol*, kSymbolCount> symbols{};
    std::string messages;

    // In ControlLoop order; not stored in the design file.
    std::array<qxr::LoopData, 2> loops;

    // v_fcp0, v_fcp1, v_fcz1, i_fcp0, i_fcp1, i_fcz1
    std::array<CSymbol*, 6> compSymbols{};
};
