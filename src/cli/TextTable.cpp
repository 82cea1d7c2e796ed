#include "cli/TextTable.h"

#include <algorithm>
#include <cstddef>

namespace qxr::cli {

namespace {

// UTF-8 characters: every byte but the continuation bytes starts one.
std::size_t CharacterCount(const std::string& utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Padded(const std::string& cell, std::size_t width, TextTable::Align align)
{
    const std::string padding(width - CharacterCount(cell), ' ');
    return align == TextTable::Align::Left ? cell + padding : padding + cell;
}

}  // namespace

std::string TextTable::Render(const std::string& indent) const
{
    std::vector<std::size_t> widths(columns_.size(), 0);
    for (const auto& row : rows_)
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], CharacterCount(row[c]));
    std::string text;
    for (const auto& row : rows_) {
        std::string line = indent;
        for (std::size_t c = 0; c < row.size(); ++c)
            line += (c > 0 ? "  " : "") + Padded(row[c], widths[c], columns_[c]);
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + '\n';
    }
    return text;
}

}  // namespace qxr::cli
