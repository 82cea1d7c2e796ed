#include "calc/CoefficientExport.h"

#include <cmath>
#include <cstdio>

#include "model/Enumerations.h"

namespace qxr {

const CoefficientSetLayout& LayoutOf(CoefficientSet set)
{
    using M = CDesignModel;
    static const CoefficientSetLayout feedForward{{"B0_VFF", "B1_VFF", "B2_VFF", "A1_VFF", "A2_VFF"},
                                                  {&M::B0_VFF, &M::B1_VFF, &M::B2_VFF, &M::A1_VFF, &M::A2_VFF},
                                                  "VFF",
                                                  "feed-forward low-pass",
                                                  "feedforward",
                                                  &M::F__SAMP_V,
                                                  &M::V__FF_CO,
                                                  false};
    static const CoefficientSetLayout voltageLoop{{"B0_V", "B1_V", "B2_V", "A1_V", "A2_V"},
                                                  {&M::B0_V, &M::B1_V, &M::B2_V, &M::A1_V, &M::A2_V},
                                                  "V",
                                                  "voltage loop",
                                                  "voltage",
                                                  &M::F__SAMP_V,
                                                  &M::F__X_VLOOP,
                                                  true};
    static const CoefficientSetLayout currentLoop{{"B0_I", "B1_I", "B2_I", "A1_I", "A2_I"},
                                                  {&M::B0_I, &M::B1_I, &M::B2_I, &M::A1_I, &M::A2_I},
                                                  "I",
                                                  "current loop",
                                                  "current",
                                                  &M::F__SAMP,
                                                  &M::F__X_ILOOP,
                                                  true};
    switch (set) {
    case CoefficientSet::FeedForward:
        return feedForward;
    case CoefficientSet::VoltageLoop:
        return voltageLoop;
    case CoefficientSet::CurrentLoop:
        break;
    }
    return currentLoop;
}

namespace {

template <typename Value>
std::string Formatted(const char* format, const char* name, Value value)
{
    const int length = std::snprintf(nullptr, 0, format, name, value);
    std::string line(static_cast<std::size_t>(length), '\0');
    std::snprintf(line.data(), line.size() + 1, format, name, value);
    return line;
}

std::string DefineLine(const char* name, double value)
{
    return Formatted("#define %s (%+2.16f)\r\n", name, value);
}

// Nine significant digits name every float exactly.
std::string FloatDefineLine(const char* name, double value)
{
    return Formatted("#define %s (%+.8ef)\r\n", name, value);
}

std::string IntegerDefineLine(const char* name, int64_t value)
{
    return Formatted("#define %s (%lld)\r\n", name, static_cast<long long>(value));
}

}  // namespace

std::string CoefficientText(const CDesignModel& model, CoefficientSet set)
{
    const CoefficientSetLayout& layout = LayoutOf(set);
    std::string text;
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i)
        text += DefineLine(layout.names[i], (model.*layout.symbols[i]).calcValue);
    return text;
}

CoefficientFormat CoefficientFormatOf(const CDesignModel& model)
{
    return {TruncToInt32(model.fmt__COEF.Value()), model.N__FRAC.Value()};
}

TwoPoleTwoZero CoefficientsOf(const CDesignModel& model, CoefficientSet set)
{
    const CoefficientSetLayout& layout = LayoutOf(set);
    std::array<double, kCoefficientsPerSet> values{};
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i)
        values[i] = (model.*layout.symbols[i]).calcValue;
    return TwoPoleTwoZero::FromOutputOrder(values);
}

FirmwareSet FirmwareSetOf(const CDesignModel& model, CoefficientSet set, const CoefficientFormat& format)
{
    const CoefficientSetLayout& layout = LayoutOf(set);
    const TwoPoleTwoZero exact = CoefficientsOf(model, set);
    const QuantisedSet quantised = Quantise(exact, format, layout.hasIntegrator);
    const double fSamp = (model.*layout.samplingFrequency).Value();
    const double fMatch = (model.*layout.matchFrequency).Value();
    const ResponseDifference error =
        DifferenceOf(FrequencyResponse(quantised.realised, fMatch, fSamp), FrequencyResponse(exact, fMatch, fSamp));
    return {exact, quantised, fSamp, fMatch, error};
}

std::string CoefficientText(const CDesignModel& model, CoefficientSet set, const CoefficientFormat& format)
{
    if (format.kind == CCoefficientFormat::Double)
        return CoefficientText(model, set);
    const CoefficientSetLayout& layout = LayoutOf(set);
    const QuantisedSet quantised = FirmwareSetOf(model, set, format).quantised;
    const std::array<double, kCoefficientsPerSet> realised = quantised.realised.InOutputOrder();
    std::string text;
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i)
        text += format.IsInteger() ? IntegerDefineLine(layout.names[i], quantised.integers[i])
                                   : FloatDefineLine(layout.names[i], realised[i]);
    if (format.IsInteger()) {
        const std::string suffix = layout.suffix;
        text += IntegerDefineLine(("POST_SHIFT_" + suffix).c_str(), quantised.postShift);
        text += IntegerDefineLine(("SHIFT_" + suffix).c_str(), quantised.scaleBits);
    }
    return text;
}

std::vector<std::string> FirmwareProblems(const CDesignModel& model)
{
    std::vector<std::string> problems;
    const std::string formatProblem = FormatProblem(CoefficientFormatOf(model));
    if (!formatProblem.empty())
        problems.push_back(formatProblem);
    for (CoefficientSet set : kCoefficientSets) {
        const CoefficientSetLayout& layout = LayoutOf(set);
        const double fSamp = (model.*layout.samplingFrequency).Value();
        const double fMatch = (model.*layout.matchFrequency).Value();
        if (!(fSamp > 0 && std::isfinite(fSamp)))
            problems.push_back(std::string("The sampling frequency of the ") + layout.title +
                               " must be a positive number.");
        else if (fMatch >= fSamp / 2)
            problems.push_back(std::string("The ") + layout.title +
                               (layout.hasIntegrator ? "'s crossover" : "'s corner") +
                               " lies at or above the Nyquist frequency of its sampling rate.");
    }
    return problems;
}

std::string WithLineFeeds(const std::string& crlfText)
{
    std::string text;
    for (std::size_t i = 0; i < crlfText.size(); ++i)
        if (!(crlfText[i] == '\r' && i + 1 < crlfText.size() && crlfText[i + 1] == '\n'))
            text += crlfText[i];
    return text;
}

}  // namespace qxr
