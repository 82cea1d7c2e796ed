#pragma once

#include <string>

#include "model/DesignFile.h"
#include "model/DesignModel.h"

namespace qxr::cli {

// What a document holds: one design model and its free-text description.
// A fresh one is the new default design.
struct Design {
    CDesignModel model;
    std::u16string description = kNewDesignDescription;
};

// Replaces the design by the file's content; not recalculated yet. Throws a
// Failure naming the file and the system's or the reader's reason.
void LoadDesignInput(const std::string& path, Design& design);

// Writes the design atomically; throws a Failure when it cannot.
void SaveDesignOutput(const std::string& path, const Design& design);

// The name of every symbol, in catalogue order.
std::vector<std::string> SymbolNames(const CDesignModel& model);

}  // namespace qxr::cli
