#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace qxr::cli {

struct Design;

// The changes a command line makes to a design, as a page would make them.
struct ModeEdit {
    int32_t mode;  // a CTop value
};
struct SetEdit {
    std::string name;
    double shownValue;  // in the unit the program shows for the symbol
};
struct RevertEdit {
    std::string name;
};
struct DescriptionEdit {
    std::string utf8;
};
// Every part of the design as calculated so far gets its standard value as an entry.
struct StandardValuesEdit {};
using Edit = std::variant<ModeEdit, SetEdit, RevertEdit, DescriptionEdit, StandardValuesEdit>;

// Applies the edits in order, recalculating only where an edit needs the
// design's results (the standard values). Throws a usage Failure
// for a symbol name the design does not have, suggesting the nearest names.
void ApplyEdits(const std::vector<Edit>& edits, Design& design);

}  // namespace qxr::cli
