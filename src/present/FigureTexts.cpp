#include "present/FigureTexts.h"

#include <cmath>

#include "present/NumberFormat.h"
#include "present/Translation.h"

namespace qxr {

namespace {

// The words keep the translation context of the page they were first written for.
std::string Tr(const char* text)
{
    return Translated("CTabFreqResponse", text);
}

std::string Whole(double value, const char* unit)
{
    return FormatFixed(value, 0) + unit;
}

// A figure that could not be found reads "n/a".
std::string WholeOrNotFound(double value, const char* unit)
{
    return std::isnan(value) ? Translated("BodeOverlays", "n/a") : Whole(value, unit);
}

// The sign always written, as printf's "+" flag writes it.
std::string Signed(double value, int decimals)
{
    const std::string text = FormatFixed(value, decimals);
    return text[0] == '-' ? text : "+" + text;
}

struct FrequencyPrefix {
    double scale;
    const char* unit;
};

FrequencyPrefix PrefixFor(double hz)
{
    const double magnitude = std::fabs(hz);
    if (magnitude >= 1e6)
        return {1e6, "MHz"};
    return magnitude >= 1e3 ? FrequencyPrefix{1e3, "kHz"} : FrequencyPrefix{1.0, "Hz"};
}

// "minimum / maximum unit" of a sweep; nothing where the sweep has no figure.
template <class Number>
std::string SweepText(const MinMax& range, const std::string& unit, Number number)
{
    if (std::isnan(range.min) || std::isnan(range.max))
        return {};
    const auto text = [&number](double x) { return std::isinf(x) ? std::string(x > 0 ? "∞" : "-∞") : number(x); };
    return text(range.min) + " / " + text(range.max) + unit;
}

std::string WholeSweepText(const MinMax& range, const char* unit)
{
    return SweepText(range, unit, [](double x) { return FormatFixed(x, 0); });
}

// Both frequencies with the maximum's prefix.
std::string FrequencySweepText(const MinMax& range)
{
    const FrequencyPrefix prefix = PrefixFor(range.max);
    return SweepText(range, std::string(" ") + prefix.unit,
                     [&prefix](double x) { return FormatSignificant(x / prefix.scale, 3); });
}

}  // namespace

StabilityTexts FormatStability(const LoopData& loop, const std::vector<double>& loopGains)
{
    StabilityTexts texts;
    texts.crossover = Whole(loop.fx, " Hz");
    texts.phaseMargin = Whole(loop.phaseMargin, "°");
    if (!std::isnan(loop.gainMargin))
        texts.gainMargin = Whole(loop.gainMargin, " dB");
    else if (!loopGains.empty())
        texts.gainMargin = "> " + Whole(std::fabs(loopGains.back()), " dB");
    texts.slope = Whole(loop.slope, " dB/dec");
    return texts;
}

SweepTexts FormatSweep(const RobustnessReport* report, ControlLoop loop)
{
    if (report == nullptr || !report->notComputed.empty())
        return {};
    const MetricRanges& range = report->loops[static_cast<std::size_t>(loop)].overall;
    return {FrequencySweepText(range[0]),        WholeSweepText(range[1], "°"),
            WholeSweepText(range[2], " dB"),     WholeSweepText(range[3], " dB/dec"),
            FrequencyText(report->rhpz.nominal), FrequencySweepText({report->rhpz.min, report->rhpz.max})};
}

StabilityTexts FormatMeasured(const ExactMetrics& metrics)
{
    return {WholeOrNotFound(metrics.fx, " Hz"), WholeOrNotFound(metrics.pm, "°"),
            std::isinf(metrics.gm) ? Translated("BodeOverlays", "none") : WholeOrNotFound(metrics.gm, " dB"),
            WholeOrNotFound(metrics.slope, " dB/dec")};
}

DiscreteTexts FormatDiscrete(const DiscreteLoopFigures& figures)
{
    return {Whole(figures.fx, " Hz"), FormatFixed(figures.phaseMargin, 1) + "°",
            std::isinf(figures.gainMargin) ? Tr("none") : FormatFixed(figures.gainMargin, 1) + " dB",
            Signed(figures.gainDifferenceDb, 2) + " dB / " + Signed(figures.phaseDifferenceDeg, 2) + "°"};
}

std::string FrequencyText(double hz)
{
    if (!std::isfinite(hz))
        return {};
    const FrequencyPrefix prefix = PrefixFor(hz);
    return FormatSignificant(hz / prefix.scale, 3) + " " + prefix.unit;
}

}  // namespace qxr
