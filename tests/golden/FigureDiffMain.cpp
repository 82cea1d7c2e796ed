// Prints where two pinned-figure files differ (the first few places and a
// count); exits 1 when they do.
#include <algorithm>
#include <fstream>
#include <iostream>

#include "golden/GoldenDesigns.h"

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::cerr << "usage: qxr_figure_diff PINNED.json NEW.json\n";
        return 2;
    }
    std::ifstream pinnedFile(argv[1]);
    std::ifstream newFile(argv[2]);
    const auto pinned = nlohmann::ordered_json::parse(pinnedFile, nullptr, false);
    const auto now = nlohmann::ordered_json::parse(newFile, nullptr, false);
    if (pinned.is_discarded() || now.is_discarded()) {
        std::cerr << "qxr_figure_diff: " << (pinned.is_discarded() ? argv[1] : argv[2]) << " is not JSON\n";
        return 2;
    }
    const auto differences = qxr::golden::CompareFigures(pinned, now);
    constexpr std::size_t kShown = 25;
    for (std::size_t i = 0; i < std::min(differences.size(), kShown); ++i)
        std::cout << "  " << differences[i] << '\n';
    if (differences.size() > kShown)
        std::cout << "  ... and " << differences.size() - kShown << " more\n";
    return differences.empty() ? 0 : 1;
}
