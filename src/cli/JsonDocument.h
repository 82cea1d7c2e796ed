#pragma once

#include <string>

namespace qxr::cli {

struct Design;

// The whole calculated design as one JSON object, optionally with the Bode
// data of both loops. Numbers read back as the same doubles; NaN and the
// infinities, which JSON cannot hold, are the strings "NaN", "Infinity" and
// "-Infinity".
std::string FormatJson(const Design& design, bool withBode);

}  // namespace qxr::cli
