#pragma once

#include <string>
#include <vector>

#include "analysis/PartValues.h"

// The parts of a design as a bill of materials: one row per part, the values
// in the unit the pages show for its symbol.
namespace qxr {

using BomRow = std::vector<std::string>;

// The column names, then one row per part in the same order.
BomRow BomHeader();
std::vector<BomRow> BomRows(const std::vector<PartValue>& parts);

// "E96", or "none" for no series.
std::string SeriesName(int32_t series);

// A deviation in % with three decimals, so that the rounding error of a value
// that is already standard reads as nothing; empty for NaN.
std::string DeviationText(double percent);

// Why a part has no standard value, or that its entry differs from it; empty otherwise.
std::string PartNote(const PartValue& part);

// "3.92 kΩ + 182 Ω in series, +0.0123 %"; empty without a pair.
std::string PairText(const PartValue& part);

// Header and rows as CSV (RFC 4180: CRLF line ends, fields quoted where they
// hold a comma, a quote or a line break), UTF-8 without a byte order mark.
std::string BomCsv(const std::vector<PartValue>& parts);

}  // namespace qxr
