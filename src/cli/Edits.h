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
using Edit = std::variant<ModeEdit, SetEdit, RevertEdit, DescriptionEdit>;

// Applies the edits in order, without recalculating. Throws a usage Failure
// for a symbol name the design does not have, suggesting the nearest names.
void ApplyEdits(const std::vector<Edit>& edits, Design& design);

}  // namespace qxr::cli
