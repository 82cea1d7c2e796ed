#pragma once

#include <vector>

#include <nlohmann/json.hpp>

namespace qxr::cli {

// Keys keep the order they are written in, which follows the model.
using Json = nlohmann::ordered_json;

// A number as JSON; NaN and the infinities, which JSON cannot hold, become
// the strings "NaN", "Infinity" and "-Infinity".
Json Number(double x);
Json Numbers(const std::vector<double>& values);

// The text of a document: two-space indents, a final newline.
std::string JsonText(const Json& document);

}  // namespace qxr::cli
