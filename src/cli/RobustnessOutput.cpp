#include "cli/RobustnessOutput.h"

#include "analysis/BodeColumns.h"
#include "analysis/NumberText.h"
#include "cli/JsonValues.h"
#include "cli/TextTable.h"
#include "model/DesignModel.h"
#include "model/Utf.h"
#include "present/FigureLabels.h"

namespace qxr::cli {

namespace {

using Align = TextTable::Align;

constexpr int kRoundTripDigits = 17;

const char* DistributionName(int32_t distribution)
{
    return distribution == CDistribution::Normal ? "normal" : "uniform";
}

constexpr std::size_t kSweptFigures = kSweptMetricMembers.size();
using SweptFigures = std::array<double, kSweptFigures>;

// The text keeps the four figures it has always shown; Ms and the delay
// margin are in the JSON.
void AddFigureRow(TextTable& table, const std::string& label, const SweptFigures& figures)
{
    std::vector<std::string> row{label};
    for (std::size_t k = 0; k < kFigureLabels.size(); ++k)
        row.push_back(FormatFigure(figures[k], kFigureLabels[k].unit));
    table.AddRow(std::move(row));
}

SweptFigures SweptFiguresOf(const ExactMetrics& metrics)
{
    SweptFigures figures{};
    for (std::size_t k = 0; k < figures.size(); ++k)
        figures[k] = metrics.*kSweptMetricMembers[k];
    return figures;
}

std::array<double, 4> FiguresOf(const ExactMetrics& metrics)
{
    std::array<double, 4> figures{};
    for (std::size_t k = 0; k < figures.size(); ++k)
        figures[k] = metrics.*kExactMetricMembers[k];
    return figures;
}

template <class Range, class Member>
SweptFigures Column(const std::array<Range, kSweptFigures>& ranges, Member member)
{
    SweptFigures figures{};
    for (std::size_t k = 0; k < figures.size(); ++k)
        figures[k] = ranges[k].*member;
    return figures;
}

// A corner quantity in the unit the report shows for its symbol.
std::string CornerValue(const CDesignModel& model, const std::u16string& name, double value)
{
    const CSymbol* symbol = model.FindByName(name);
    return ToUtf8(name) + " = " + FormatFigure(value / symbol->scale, ToUtf8(symbol->unit));
}

std::string LoopText(ControlLoop loop, const LoopRobustness& result, const RobustnessInputs& inputs,
                     const CDesignModel& model)
{
    TextTable table({Align::Left, Align::Left, Align::Left, Align::Left, Align::Left});
    table.AddRow(
        {"", kFigureLabels[0].heading, kFigureLabels[1].heading, kFigureLabels[2].heading, kFigureLabels[3].heading});
    AddFigureRow(table, "Nominal", SweptFiguresOf(result.nominal));
    AddFigureRow(table, "Envelope minimum", Column(result.envelope, &MinMax::min));
    AddFigureRow(table, "Envelope maximum", Column(result.envelope, &MinMax::max));
    AddFigureRow(table, "Percentile 1", Column(result.percentiles, &Percentiles::p1));
    AddFigureRow(table, "Percentile 50", Column(result.percentiles, &Percentiles::p50));
    AddFigureRow(table, "Percentile 99", Column(result.percentiles, &Percentiles::p99));
    std::string corner;
    for (const auto& [name, value] : result.worstCorner)
        corner += (corner.empty() ? "" : ", ") + CornerValue(model, name, value);
    return LoopTitle(loop) + " loop:\n" + table.Render("  ") + "  Yield: " + FormatFigure(100 * result.yield, "%") +
           " of the samples have a phase margin of at least " + FormatFigure(inputs.pmMin, "°") +
           " and a gain margin of at least " + FormatFigure(inputs.gmMin, "dB") + "\n  Worst corner: phase margin " +
           FormatFigure(result.worstPm, "°") + " with " + corner + '\n';
}

Json MinMaxJson(const MinMax& range)
{
    return Json::array({Number(range.min), Number(range.max)});
}

Json LoopJson(const LoopRobustness& result, const RobustnessInputs& inputs)
{
    Json nominal, envelope;
    Json monteCarlo{{"samples", inputs.samples},
                    {"seed", inputs.seed},
                    {"distribution", DistributionName(inputs.distribution)},
                    {"yield", Number(result.yield)}};
    for (std::size_t k = 0; k < kSweptFigures; ++k) {
        nominal[kSweptFigureLabels[k].key] = Number(result.nominal.*kSweptMetricMembers[k]);
        envelope[kSweptFigureLabels[k].key] = MinMaxJson(result.envelope[k]);
        const Percentiles& p = result.percentiles[k];
        monteCarlo[kSweptFigureLabels[k].key] = {{"p1", Number(p.p1)}, {"p50", Number(p.p50)}, {"p99", Number(p.p99)}};
    }
    Json quantities = Json::object();
    for (const auto& [name, value] : result.worstCorner)
        quantities[ToUtf8(name)] = Number(value);
    return {{"nominal", nominal},
            {"envelope", envelope},
            {"monteCarlo", monteCarlo},
            {"worstCorner",
             {{"pm", Number(result.worstPm)},
              {"ms", Number(result.worstCornerMetrics.ms)},
              {"delayMargin", Number(result.worstCornerMetrics.delayMargin)},
              {"quantities", quantities}}}};
}

}  // namespace

std::string FormatRobustnessText(const RobustnessReport& report, const RobustnessInputs& inputs,
                                 const CDesignModel& model)
{
    if (!report.notComputed.empty())
        return report.notComputed + '\n';
    std::string text = "Stability sweep: corners of the load range and the part tolerances, " +
                       std::to_string(inputs.samples) + " " + DistributionName(inputs.distribution) +
                       " Monte Carlo samples (seed " + std::to_string(inputs.seed) + ")\n";
    text += "Right-half-plane zero: " + FormatFigure(report.rhpz.nominal, "Hz") + " nominal, " +
            FormatFigure(report.rhpz.min, "Hz") + " to " + FormatFigure(report.rhpz.max, "Hz") +
            " over line, load and inductance\n";
    for (ControlLoop loop : kControlLoops)
        text += '\n' + LoopText(loop, report.loops[static_cast<std::size_t>(loop)], inputs, model);
    return text;
}

std::string FormatRobustnessJson(const RobustnessReport& report, const RobustnessInputs& inputs)
{
    if (!report.notComputed.empty())
        return JsonText({{"notComputed", report.notComputed}});
    Json document{{"rhpz",
                   {{"nominal", Number(report.rhpz.nominal)},
                    {"min", Number(report.rhpz.min)},
                    {"max", Number(report.rhpz.max)}}}};
    for (ControlLoop loop : kControlLoops)
        document[LoopName(loop)] = LoopJson(report.loops[static_cast<std::size_t>(loop)], inputs);
    return JsonText(document);
}

SamplesCsv::SamplesCsv(const RobustnessInputs& inputs) : inputs_(inputs)
{
    text_ = "sample";
    for (const SweptQuantity& quantity : inputs.quantities)
        text_ += "," + ToUtf8(quantity.name);
    for (ControlLoop loop : kControlLoops) {
        for (const FigureLabel& figure : kFigureLabels)
            text_ += "," + std::string(LoopName(loop)) + "_" + figure.key;
    }
    text_ += '\n';
}

SampleSink SamplesCsv::Sink()
{
    return [this](const SweptValues& values, const std::array<ExactMetrics, 2>& metrics) {
        text_ += std::to_string(++rows_);
        for (const SweptQuantity& quantity : inputs_.quantities)
            text_ += "," + FormatDouble(values[static_cast<std::size_t>(quantity.which)], kRoundTripDigits);
        for (const ExactMetrics& loopMetrics : metrics) {
            for (double figure : FiguresOf(loopMetrics))
                text_ += "," + FormatDouble(figure, kRoundTripDigits);
        }
        text_ += '\n';
    };
}

}  // namespace qxr::cli
