#pragma once

#include <string>

#include "analysis/DesignDifferences.h"
#include "analysis/MeasuredLoop.h"

namespace qxr::cli {

// `measured`: the figures of a measured loop, as text or one JSON object.
std::string FormatMeasuredText(const std::string& path, const std::vector<MeasuredPoint>& points);
std::string FormatMeasuredJson(const std::string& path, const std::vector<MeasuredPoint>& points);

// `diff`: the symbols two designs differ in, as a table or one JSON object.
std::string FormatDifferencesText(const std::string& path, const std::string& otherPath,
                                  const std::vector<SymbolDifference>& differences);
std::string FormatDifferencesJson(const std::string& path, const std::string& otherPath,
                                  const std::vector<SymbolDifference>& differences);

}  // namespace qxr::cli
