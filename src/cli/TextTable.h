#pragma once

#include <string>
#include <vector>

namespace qxr::cli {

// Rows of cells laid out in aligned columns, two spaces apart. Widths count
// characters, not bytes, so units such as "µH" and "°" line up.
class TextTable {
public:
    enum class Align { Left, Right };

    explicit TextTable(std::vector<Align> columns) : columns_(std::move(columns)) {}

    void AddRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
    // One line per row, each after the indent and without trailing blanks.
    std::string Render(const std::string& indent) const;

private:
    std::vector<Align> columns_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace qxr::cli
