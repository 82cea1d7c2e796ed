#include "cli/ClosestNames.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace qxr::cli {

namespace {

std::string Lowercase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Levenshtein distance: insertions, deletions and substitutions.
std::size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> previous(b.size() + 1);
    std::vector<std::size_t> current(b.size() + 1);
    std::iota(previous.begin(), previous.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

// Further than this, a candidate has little in common with the name.
std::size_t FarthestSuggestion(const std::string& wanted)
{
    return std::max<std::size_t>(2, wanted.size() / 3 + 1);
}

}  // namespace

std::vector<std::string> ClosestNames(const std::string& wanted, const std::vector<std::string>& candidates,
                                      std::size_t limit)
{
    struct Scored {
        std::size_t distance;
        const std::string* name;
    };
    const std::string key = Lowercase(wanted);
    std::vector<Scored> near;
    for (const std::string& candidate : candidates) {
        // Compared in lower case, a difference in letter case alone is distance
        // 0 and ranks before any real edit.
        const std::size_t distance = EditDistance(key, Lowercase(candidate));
        if (distance <= FarthestSuggestion(wanted))
            near.push_back({distance, &candidate});
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const Scored& a, const Scored& b) { return a.distance < b.distance; });
    std::vector<std::string> names;
    for (std::size_t i = 0; i < near.size() && i < limit; ++i) {
        // Once the letter case explains the mistake, real edits are noise.
        if (near[i].distance > 0 && near[0].distance == 0)
            break;
        names.push_back(*near[i].name);
    }
    return names;
}

std::string DidYouMean(const std::vector<std::string>& suggestions)
{
    if (suggestions.empty())
        return {};
    std::string text = "; did you mean ";
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
        if (i > 0)
            text += i + 1 == suggestions.size() ? " or " : ", ";
        text += '"' + suggestions[i] + '"';
    }
    return text + "?";
}

}  // namespace qxr::cli
