#include "cli/Report.h"

#include <cmath>

#include "analysis/ControlLoops.h"
#include "analysis/DesignText.h"
#include "analysis/NumberText.h"
#include "cli/Design.h"
#include "cli/TextTable.h"
#include "model/Utf.h"
#include "present/FigureLabels.h"

namespace qxr::cli {

namespace {

using Align = TextTable::Align;

constexpr int kShownDigits = 6;

std::string Marks(const CSymbol& symbol)
{
    return std::string(symbol.userSet ? "*" : " ") + (symbol.IsOutsideLimits() ? "!" : " ");
}

std::string SymbolSection(const CDesignModel& model)
{
    TextTable table({Align::Left, Align::Left, Align::Right, Align::Left, Align::Left});
    table.AddRow({"", "Name", "Value", "Unit", "Description"});
    for (const CSymbol* symbol : model.symbols)
        if (symbol->inUse)
            table.AddRow({Marks(*symbol), ToUtf8(symbol->name),
                          FormatDouble(symbol->Value() / symbol->scale, kShownDigits), ToUtf8(symbol->unit),
                          ToUtf8(symbol->description)});
    return "Symbols in use (* user entry, ! outside the recommended range):\n" + table.Render("  ");
}

std::string MessageSection(const CDesignModel& model)
{
    const std::vector<std::string> lines = MessageLines(model);
    if (lines.empty())
        return "Messages: none\n";
    std::string text = "Messages:\n";
    for (const std::string& line : lines)
        text += "  " + line + '\n';
    return text;
}

std::string StabilitySection(const CDesignModel& model)
{
    const LoopData& voltage = model.Loop(ControlLoop::Voltage);
    const LoopData& current = model.Loop(ControlLoop::Current);
    TextTable table({Align::Left, Align::Left, Align::Left});
    table.AddRow({"", "Voltage loop", "Current loop"});
    constexpr double LoopData::*kFigures[] = {&LoopData::fx, &LoopData::phaseMargin, &LoopData::gainMargin,
                                              &LoopData::slope};
    for (std::size_t k = 0; k < kFigureLabels.size(); ++k) {
        const FigureLabel& label = kFigureLabels[k];
        table.AddRow({label.row, FormatFigure(voltage.*kFigures[k], label.unit),
                      FormatFigure(current.*kFigures[k], label.unit)});
    }
    return "Stability:\n" + table.Render("  ");
}

}  // namespace

std::string FormatReport(const Design& design)
{
    return "Description: " + ToUtf8(design.description) + "\nMode: " + ModeText(design.model) + "\n\n" +
           SymbolSection(design.model) + '\n' + MessageSection(design.model) + '\n' + StabilitySection(design.model);
}

}  // namespace qxr::cli
