#include "analysis/BillOfMaterials.h"

#include <cmath>
#include <cstdio>

#include "analysis/NumberText.h"
#include "model/Utf.h"

namespace qxr {

namespace {

constexpr int kShownDigits = 6;
constexpr int kPairDigits = 3;

std::string InUnit(double value, const CSymbol& symbol)
{
    return std::isnan(value) ? "" : FormatDouble(value / symbol.scale, kShownDigits);
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::string SeriesName(int32_t series)
{
    return series == CSeries::None ? "none" : "E" + std::to_string(series);
}

std::string DeviationText(double percent)
{
    if (std::isnan(percent))
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", percent);
    return std::string(text) == "-0.000" ? "0.000" : text;
}

BomRow BomHeader()
{
    return {"Designator",    "Symbol",        "Description", "Calculated", "Standard", "Series",
            "Deviation (%)", "Tolerance (%)", "Unit",        "Pair",       "Note"};
}

std::string PartNote(const PartValue& part)
{
    const std::string inForce = FormatEngineering(part.inForce, BaseUnitOf(part.kind), kShownDigits);
    if (!std::isfinite(part.inForce) || part.inForce <= 0)
        return "no standard value: " + inForce + " is not a positive number";
    if (part.series == CSeries::None)
        return "not rounded: no series chosen";
    if (part.symbol->userSet && part.inForce != part.standard)
        return "entered value in force: " + inForce;
    return {};
}

std::string PairText(const PartValue& part)
{
    if (!part.pair)
        return {};
    const std::string unit = BaseUnitOf(part.kind);
    return FormatEngineering(part.pair->first, unit, kPairDigits) + " + " +
           FormatEngineering(part.pair->second, unit, kPairDigits) + " in " +
           PairWiring(part.kind, part.pair->combination) + ", " +
           DeviationText(DeviationPercent(part.pair->value, part.inForce)) + " %";
}

std::vector<BomRow> BomRows(const std::vector<PartValue>& parts)
{
    std::vector<BomRow> rows;
    for (const PartValue& part : parts) {
        const CSymbol& symbol = *part.symbol;
        rows.push_back({part.designator, ToUtf8(symbol.name), ToUtf8(symbol.description), InUnit(part.proposed, symbol),
                        InUnit(part.standard, symbol), SeriesName(part.series), DeviationText(part.deviation),
                        FormatDouble(part.tolerance, kShownDigits), ToUtf8(symbol.unit), PairText(part),
                        PartNote(part)});
    }
    return rows;
}

std::string BomCsv(const std::vector<PartValue>& parts)
{
    std::string text;
    const auto addLine = [&text](const BomRow& row) {
        for (std::size_t k = 0; k < row.size(); ++k)
            text += (k == 0 ? "" : ",") + CsvField(row[k]);
        text += "\r\n";
    };
    addLine(BomHeader());
    for (const BomRow& row : BomRows(parts))
        addLine(row);
    return text;
}

}  // namespace qxr
