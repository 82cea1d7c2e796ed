#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qxr::cli {

// The candidates a mistyped name most likely meant, at most `limit`: those
// equal to it but for letter case if there are any, else those within a few
// edits of it (ignoring case), nearest first, ties in the candidates' order.
std::vector<std::string> ClosestNames(const std::string& wanted, const std::vector<std::string>& candidates,
                                      std::size_t limit = 3);

// "; did you mean "A", "B" or "C"?", or nothing when there is no suggestion.
std::string DidYouMean(const std::vector<std::string>& suggestions);

}  // namespace qxr::cli
