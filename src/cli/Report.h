#pragma once

#include <string>

namespace qxr::cli {

struct Design;

// The calculated design for people: the symbols in use with their values in
// the units the program shows, the design messages and the stability figures
// of both loops.
std::string FormatReport(const Design& design);

}  // namespace qxr::cli
