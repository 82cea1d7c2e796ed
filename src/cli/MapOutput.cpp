#include "cli/MapOutput.h"

#include <cmath>

#include "analysis/BodeColumns.h"
#include "analysis/NumberText.h"
#include "cli/JsonValues.h"
#include "cli/TextTable.h"
#include "present/FigureLabels.h"

namespace qxr::cli {

namespace {

using Align = TextTable::Align;

constexpr int kRoundTripDigits = 17;

// The figures of a point, each with its key, its unit and whether it is known.
struct MapFigure {
    const char* key;
    double MapCell::*member;
    const char* title;
    const char* unit;
    bool timeDomain;
};
constexpr MapFigure kMapFigures[] = {
    {"worstPm", &MapCell::worstPm, "Worst-case phase margin", "°", false},
    {"worstMs", &MapCell::worstMs, "Worst-case Ms", "", false},
    {"h3", &MapCell::h3, "Third harmonic at V__IN_MIN and full load", "%", true},
    {"stepMin", &MapCell::stepMin, "Output minimum on the load step", "V", true},
};

bool Shows(const MapFigure& figure, const DesignMap& map)
{
    return !figure.timeDomain || map.timeDomain;
}

std::string Cell(double value)
{
    return std::isnan(value) ? "n/a" : FormatDouble(value, 4);
}

// A time-domain figure the pass interpolated rather than simulated.
bool Interpolated(const MapCell& cell, const MapFigure& figure)
{
    return figure.timeDomain && !cell.timeDomainSimulated;
}

// A figure the pass knows neither from a simulation nor from the simulated points around it.
bool Unknown(const MapCell& cell, const MapFigure& figure)
{
    return !cell.realisable || (Interpolated(cell, figure) && std::isnan(cell.*figure.member));
}

std::string TableCell(const MapCell& cell, const MapFigure& figure)
{
    if (!cell.realisable)
        return "-";
    const std::string value = Cell(cell.*figure.member);
    return Interpolated(cell, figure) && !std::isnan(cell.*figure.member) ? "≈" + value : value;
}

std::string MapTable(const DesignMap& map, const MapFigure& figure)
{
    TextTable table(std::vector<Align>(1 + map.crossovers.size(), Align::Right));
    std::vector<std::string> heading{"PM \\ Fx (Hz)"};
    for (double crossover : map.crossovers)
        heading.push_back(FormatDouble(crossover, 4));
    table.AddRow(std::move(heading));
    for (std::size_t row = 0; row < map.phaseMargins.size(); ++row) {
        std::vector<std::string> cells{FormatDouble(map.phaseMargins[row], 4) + "°"};
        for (std::size_t column = 0; column < map.crossovers.size(); ++column)
            cells.push_back(TableCell(map.At(row, column), figure));
        table.AddRow(std::move(cells));
    }
    const std::string unit = *figure.unit ? std::string(" (") + figure.unit + ")" : "";
    std::string notes = "; - where the point cannot be realised, n/a where it cannot be measured";
    if (figure.timeDomain)
        notes += " or interpolated, ≈ where it is interpolated between the simulated points";
    return std::string(figure.title) + unit + notes + ":\n" + table.Render("  ");
}

// [rows][columns] of a figure, null where it is unknown: where the point
// cannot be realised, or a time-domain figure has no simulated points to interpolate between.
Json Grid(const DesignMap& map, const MapFigure& figure)
{
    Json rows = Json::array();
    for (std::size_t row = 0; row < map.phaseMargins.size(); ++row) {
        Json cells = Json::array();
        for (std::size_t column = 0; column < map.crossovers.size(); ++column) {
            const MapCell& cell = map.At(row, column);
            cells.push_back(Unknown(cell, figure) ? Json(nullptr) : Number(cell.*figure.member));
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

Json RealisableGrid(const DesignMap& map)
{
    Json rows = Json::array();
    for (std::size_t row = 0; row < map.phaseMargins.size(); ++row) {
        Json cells = Json::array();
        for (std::size_t column = 0; column < map.crossovers.size(); ++column)
            cells.push_back(map.At(row, column).realisable);
        rows.push_back(std::move(cells));
    }
    return rows;
}

Json ProposalJson(const LoopProposal& loop)
{
    if (!loop.map.notComputed.empty())
        return {{"notComputed", loop.map.notComputed}};
    const Proposal& p = loop.proposal;
    if (!p.found)
        return {{"crossover", nullptr},
                {"phaseMargin", nullptr},
                {"worstPm", nullptr},
                {"worstMs", nullptr},
                {"meets", false},
                {"misses", Json::array()},
                {"note", "no point of the map can be realised"}};
    Json result{{"crossover", Number(p.crossover)}, {"phaseMargin", Number(p.phaseMargin)}};
    for (const MapFigure& figure : kMapFigures) {
        if (Shows(figure, loop.map))
            result[figure.key] = Number(p.cell.*figure.member);
    }
    if (loop.map.timeDomain)
        result["simulated"] = p.cell.timeDomainSimulated;
    result["meets"] = p.Meets();
    result["misses"] = p.misses;
    return result;
}

std::string ProposalText(ControlLoop loop, const LoopProposal& result)
{
    const std::string title = LoopTitle(loop) + " loop: ";
    if (!result.map.notComputed.empty())
        return title + result.map.notComputed + '\n';
    const Proposal& p = result.proposal;
    if (!p.found)
        return title + "no point of the map can be realised.\n";
    std::string text = title + "crossover " + FormatFigure(p.crossover, "Hz") + ", phase margin " +
                       FormatFigure(p.phaseMargin, "°") + "\n  worst-case phase margin " +
                       FormatFigure(p.cell.worstPm, "°") + ", worst-case Ms " + Cell(p.cell.worstMs);
    if (result.map.timeDomain) {
        const std::string mark = p.cell.timeDomainSimulated ? "" : "≈";
        text += ", third harmonic " + mark + FormatFigure(p.cell.h3, "%") + ", load-step minimum " + mark +
                FormatFigure(p.cell.stepMin, "V");
    }
    if (p.Meets())
        return text + "\n  meets every limit\n";
    std::string misses;
    for (const std::string& name : p.misses)
        misses += (misses.empty() ? "" : ", ") + name;
    return text + "\n  no point of the map meets every limit; this one misses the least: " + misses + '\n';
}

}  // namespace

std::string FormatMapText(const DesignMap& map)
{
    if (!map.notComputed.empty())
        return map.notComputed + '\n';
    std::string text = LoopTitle(map.loop) + " loop's design map over the stability sweep's corners\n";
    for (const MapFigure& figure : kMapFigures) {
        if (Shows(figure, map))
            text += '\n' + MapTable(map, figure);
    }
    return text;
}

std::string FormatMapJson(const DesignMap& map)
{
    if (!map.notComputed.empty())
        return JsonText({{"notComputed", map.notComputed}});
    Json document{{"loop", LoopName(map.loop)},
                  {"crossover", Numbers(map.crossovers)},
                  {"phaseMargin", Numbers(map.phaseMargins)},
                  {"realisable", RealisableGrid(map)}};
    for (const MapFigure& figure : kMapFigures) {
        if (Shows(figure, map))
            document[figure.key] = Grid(map, figure);
    }
    if (map.timeDomain) {
        document["timeDomainColumns"] = map.timeDomainColumns;
        document["timeDomainRows"] = map.timeDomainRows;
    }
    return JsonText(document);
}

std::string FormatMapCsv(const DesignMap& map)
{
    if (!map.notComputed.empty())
        return {};
    std::string text = "phaseMargin,crossover,realisable";
    for (const MapFigure& figure : kMapFigures) {
        if (Shows(figure, map))
            text += std::string(",") + figure.key;
    }
    text += map.timeDomain ? ",simulated\n" : "\n";
    for (std::size_t row = 0; row < map.phaseMargins.size(); ++row) {
        for (std::size_t column = 0; column < map.crossovers.size(); ++column) {
            const MapCell& cell = map.At(row, column);
            text += FormatDouble(map.phaseMargins[row], kRoundTripDigits) + "," +
                    FormatDouble(map.crossovers[column], kRoundTripDigits) + (cell.realisable ? ",1" : ",0");
            for (const MapFigure& figure : kMapFigures) {
                if (Shows(figure, map))
                    text += "," + (Unknown(cell, figure) ? "" : FormatDouble(cell.*figure.member, kRoundTripDigits));
            }
            if (map.timeDomain)
                text += cell.realisable ? (cell.timeDomainSimulated ? ",1" : ",0") : ",";
            text += '\n';
        }
    }
    return text;
}

std::string FormatProposalText(const std::array<LoopProposal, 2>& loops, const std::vector<std::string>& separation)
{
    std::string text;
    for (ControlLoop loop : kControlLoops)
        text += ProposalText(loop, loops[static_cast<std::size_t>(loop)]);
    text += "\nLoop separation:\n";
    if (separation.empty())
        text += "  the loops keep clear of the line ripple, the sampling and the right-half-plane zero\n";
    for (const std::string& note : separation)
        text += "  " + note + "\n";
    return text;
}

std::string FormatProposalJson(const std::array<LoopProposal, 2>& loops, const std::vector<std::string>& separation)
{
    Json document;
    for (ControlLoop loop : kControlLoops)
        document[LoopName(loop)] = ProposalJson(loops[static_cast<std::size_t>(loop)]);
    document["separation"] = separation;
    return JsonText(document);
}

}  // namespace qxr::cli
