#include "cli/Coefficients.h"

#include "analysis/BodeColumns.h"
#include "analysis/DiscreteLoop.h"
#include "cli/Failure.h"
#include "cli/JsonValues.h"
#include "model/Utf.h"

namespace qxr::cli {

namespace {

CoefficientFormat UsableFormat(const CDesignModel& model)
{
    const CoefficientFormat format = CoefficientFormatOf(model);
    const std::string problem = FormatProblem(format);
    if (!problem.empty())
        throw Failure(kUsageError, problem);
    return format;
}

Json NumberArray(const std::array<double, kCoefficientsPerSet>& values)
{
    return Numbers({values.begin(), values.end()});
}

Json SetJson(const CDesignModel& model, CoefficientSet set, const CoefficientFormat& format)
{
    const FirmwareSet firmware = FirmwareSetOf(model, set, format);
    Json json{{"samplingFrequency", Number(firmware.samplingFrequency)},
              {"coefficients", NumberArray(firmware.exact.InOutputOrder())},
              {"realised", NumberArray(firmware.quantised.realised.InOutputOrder())},
              {"integers", nullptr},
              {"postShift", nullptr},
              {"shift", nullptr},
              {"responseError",
               {{"frequency", Number(firmware.matchFrequency)},
                {"gainDb", Number(firmware.error.gainDb)},
                {"phaseDeg", Number(firmware.error.phaseDeg)}}}};
    if (format.IsInteger()) {
        json["integers"] = firmware.quantised.integers;
        json["postShift"] = firmware.quantised.postShift;
        json["shift"] = firmware.quantised.scaleBits;
    }
    return json;
}

Json DiscreteLoopJson(CDesignModel& model, ControlLoop loop)
{
    const DiscreteLoopFigures figures = DiscreteLoopFiguresOf(model, loop);
    return {{"fx", Number(figures.fx)},
            {"phaseMargin", Number(figures.phaseMargin)},
            {"gainMargin", Number(figures.gainMargin)},
            {"gainDifferenceDb", Number(figures.gainDifferenceDb)},
            {"phaseDifferenceDeg", Number(figures.phaseDifferenceDeg)}};
}

}  // namespace

std::string FormatCoefficients(const CDesignModel& model, const std::vector<CoefficientSet>& sets)
{
    const CoefficientFormat format = UsableFormat(model);
    std::string text;
    for (CoefficientSet set : sets)
        text += WithLineFeeds(CoefficientText(model, set, format));
    return text;
}

std::string FormatCoefficientsJson(CDesignModel& model, const std::vector<CoefficientSet>& sets)
{
    const CoefficientFormat format = UsableFormat(model);
    const CSymbolEnum<CDiscretisation>& method = model.disc__DIG;
    Json document{{"discretisation", ToUtf8(method.enumCalc.GetTypeInfo().NameOf(TruncToInt32(method.Value())))},
                  {"format", FormatName(format)},
                  {"sets", Json::object()},
                  {"discreteLoops", Json::object()}};
    for (CoefficientSet set : sets)
        document["sets"][LayoutOf(set).word] = SetJson(model, set, format);
    for (ControlLoop loop : kControlLoops)
        document["discreteLoops"][LoopName(loop)] = DiscreteLoopJson(model, loop);
    return JsonText(document);
}

std::vector<Edit> FormatEdits(const CoefficientFormat& format)
{
    std::vector<Edit> edits{SetEdit{"fmt__COEF", static_cast<double>(format.kind)}};
    if (format.kind == CCoefficientFormat::Qmn)
        edits.push_back(SetEdit{"N__FRAC", format.fractionBits});
    return edits;
}

}  // namespace qxr::cli
