#include "cli/TransientOutput.h"

#include <algorithm>
#include <cmath>

#include "analysis/NumberText.h"
#include "cli/JsonValues.h"
#include "cli/TextTable.h"
#include "model/Enumerations.h"

namespace qxr::cli {

namespace {

using Align = TextTable::Align;

constexpr int kRoundTripDigits = 17;
// The steady state of the waveform CSV: V__IN_NORM at full load.
constexpr std::size_t kNominalPoint = 3;

const char* ClassName(int32_t harmonicClass)
{
    return harmonicClass == CHarmonicClass::D ? "D" : "A";
}

Json NullWhereNone(const HarmonicSeries& series)
{
    Json values = Json::array();
    for (int order = 1; order <= kHighestHarmonic; ++order) {
        const double value = series[static_cast<std::size_t>(order)];
        values.push_back(std::isnan(value) ? Json(nullptr) : Number(value));
    }
    return values;
}

Json HarmonicsJson(const HarmonicSeries& series)
{
    Json values = Json::array();
    for (int order = 1; order <= kHighestHarmonic; ++order)
        values.push_back(Number(series[static_cast<std::size_t>(order)]));
    return values;
}

Json Verdict(const HarmonicLimitCheck& check)
{
    if (check.verdict == HarmonicLimitCheck::Verdict::NoLimits)
        return nullptr;
    return check.verdict == HarmonicLimitCheck::Verdict::Pass;
}

// What a part of the report could not do, or why a figure is missing, when there is something to say.
void AddNote(Json& object, const std::string& notComputed, const std::string& note)
{
    if (!notComputed.empty())
        object["notComputed"] = notComputed;
    else if (!note.empty())
        object["note"] = note;
}

Json SteadyJson(const SteadyStatePoint& point, const TimeDomainInputs& inputs)
{
    Json object = {{"vin", Number(point.lineVoltage)},
                   {"load", Number(point.loadFraction * inputs.pOut)},
                   {"pf", Number(point.harmonics.powerFactor)},
                   {"thd", Number(point.harmonics.thd)},
                   {"h3", Number(point.harmonics.thirdHarmonic)},
                   {"harmonics", HarmonicsJson(point.harmonics.rms)},
                   {"limits", NullWhereNone(point.limits.limit)},
                   {"class", ClassName(point.limits.appliedClass)},
                   {"pass", Verdict(point.limits)},
                   {"vOutMean", Number(point.outputMean)},
                   {"vOutRipplePkPk", Number(point.outputPeakToPeak)},
                   {"iLPeak", Number(point.inductorPeak)}};
    AddNote(object, point.notComputed, point.headroom.atLimit ? point.headroom.text : point.settlingNote);
    return object;
}

// Both changes must settle for the step to have a settling time.
double SettlingOf(const LoadStepResult& step)
{
    const double a = step.step.settlingTime;
    const double b = step.stepBack.settlingTime;
    return std::isnan(a) || std::isnan(b) ? kNaN : std::max(a, b);
}

Json LoadStepJson(const LoadStepResult& step)
{
    Json object = {{"vin", Number(step.lineVoltage)},    {"from", Number(step.fromPower)},
                   {"to", Number(step.toPower)},         {"vOutMin", Number(step.outputMin)},
                   {"vOutMax", Number(step.outputMax)},  {"settling", Number(SettlingOf(step))},
                   {"ovpTrip", step.reachesOverVoltage}, {"fxEffective", Number(step.loop.effectiveCrossover)}};
    AddNote(object, step.notComputed, !step.step.note.empty() ? step.step.note : step.stepBack.note);
    return object;
}

Json StartUpJson(const StartUpResult& startUp)
{
    Json object = {{"vOutMax", Number(startUp.regulation.outputMax)},
                   {"time", Number(startUp.regulation.settlingTime)},
                   {"iLPeak", Number(startUp.regulation.inductorPeak)}};
    AddNote(object, startUp.notComputed, startUp.regulation.note);
    return object;
}

Json HoldUpJson(const HoldUpResult& holdUp)
{
    Json object = {{"vOutEnd", Number(holdUp.outputAtEnd)},
                   {"vOutMinAllowed", Number(holdUp.outputMin)},
                   {"pass", holdUp.holdsUp}};
    AddNote(object, holdUp.notComputed, holdUp.recovery.note);
    return object;
}

std::string VerdictText(const HarmonicLimitCheck& check)
{
    switch (check.verdict) {
    case HarmonicLimitCheck::Verdict::Pass:
        return std::string("pass (") + ClassName(check.appliedClass) + ")";
    case HarmonicLimitCheck::Verdict::Fail:
        return std::string("FAIL (") + ClassName(check.appliedClass) + ")";
    case HarmonicLimitCheck::Verdict::NoLimits:
        break;
    }
    return "no limits";
}

std::string SteadyText(const SteadyStateReport& steady, const TimeDomainInputs& inputs)
{
    TextTable table({Align::Right, Align::Right, Align::Left, Align::Left, Align::Left, Align::Left, Align::Left,
                     Align::Left, Align::Left, Align::Left});
    table.AddRow(
        {"Line", "Load", "PF", "THD", "H3", "IEC 61000-3-2", "Smallest margin", "Vout mean", "Vout ripple", "iL peak"});
    std::string notes;
    for (const SteadyStatePoint& p : steady.points) {
        const std::string margin = std::isnan(p.limits.smallestMargin)
                                       ? "n/a"
                                       : FormatFigure(p.limits.smallestMarginPercent, "%") + " of H" +
                                             std::to_string(p.limits.smallestMarginOrder) + "'s limit";
        table.AddRow({FormatFigure(p.lineVoltage, "V"), FormatFigure(p.loadFraction * inputs.pOut, "W"),
                      FormatFigure(p.harmonics.powerFactor, ""), FormatFigure(p.harmonics.thd, "%"),
                      FormatFigure(p.harmonics.thirdHarmonic, "%"), VerdictText(p.limits), margin,
                      FormatFigure(p.outputMean, "V"), FormatFigure(p.outputPeakToPeak, "V"),
                      FormatFigure(p.inductorPeak, "A")});
        const std::string note =
            !p.notComputed.empty() ? p.notComputed : (p.headroom.atLimit ? p.headroom.text : p.settlingNote);
        if (!note.empty())
            notes += "  At " + FormatFigure(p.lineVoltage, "V") + ", " +
                     FormatFigure(p.loadFraction * inputs.pOut, "W") + ": " + note + '\n';
    }
    return "Steady state:\n" + table.Render("  ") + notes;
}

std::string RecoveryText(const char* what, const Recovery& recovery)
{
    const std::string settling = std::isnan(recovery.settlingTime)
                                     ? "does not settle" + (recovery.note.empty() ? "" : ": " + recovery.note)
                                     : "settles within 1 % in " + FormatFigure(recovery.settlingTime, "s");
    return std::string("  ") + what + ": output " + FormatFigure(recovery.outputMin, "V") + " to " +
           FormatFigure(recovery.outputMax, "V") + ", " + settling + '\n';
}

std::string LoadStepText(const LoadStepResult& step)
{
    if (!step.notComputed.empty())
        return "Load step: not computed. " + step.notComputed + '\n';
    return "Load step at " + FormatFigure(step.lineVoltage, "V") + ", " + FormatFigure(step.fromPower, "W") + " to " +
           FormatFigure(step.toPower, "W") + " and back:\n" + RecoveryText("Step", step.step) +
           RecoveryText("Step back", step.stepBack) +
           "  Over-voltage trip (V__OUT_MAX): " + (step.reachesOverVoltage ? "reached" : "not reached") +
           "; below V__OUT_MIN: " + (step.fallsBelowMinimum ? "yes" : "no") + "\n  Voltage loop: plant " +
           FormatFigure(step.loop.assumedPowerPerUnit, "W/V") + " as designed, " +
           FormatFigure(step.loop.effectivePowerPerUnit, "W/V") + " at the operating point; crossover " +
           FormatFigure(step.loop.designedCrossover, "Hz") + " as designed, " +
           FormatFigure(step.loop.effectiveCrossover, "Hz") + " in effect\n";
}

std::string StartUpText(const StartUpResult& startUp)
{
    if (!startUp.notComputed.empty())
        return "Start-up: not computed. " + startUp.notComputed + '\n';
    const Recovery& r = startUp.regulation;
    return "Start-up at " + FormatFigure(startUp.lineVoltage, "V") + " and full load: highest output " +
           FormatFigure(r.outputMax, "V") + ", peak inductor current " + FormatFigure(r.inductorPeak, "A") + ", " +
           (std::isnan(r.settlingTime) ? "does not reach regulation" + (r.note.empty() ? "" : ": " + r.note)
                                       : "in regulation after " + FormatFigure(r.settlingTime, "s")) +
           '\n';
}

std::string HoldUpText(const HoldUpResult& holdUp)
{
    if (!holdUp.notComputed.empty())
        return "Hold-up: not computed. " + holdUp.notComputed + '\n';
    return "Hold-up at " + FormatFigure(holdUp.lineVoltage, "V") + " and full load: the output falls to " +
           FormatFigure(holdUp.outputAtEnd, "V") + " against V__OUT_MIN " + FormatFigure(holdUp.outputMin, "V") +
           (holdUp.holdsUp ? " (holds up)\n" : " (does NOT hold up)\n") +
           RecoveryText("When the line returns", holdUp.recovery);
}

const Waveforms& WaveformsOf(const TimeDomainReport& report, TransientScenario scenario)
{
    static const Waveforms kNone;
    switch (scenario) {
    case TransientScenario::Steady:
        return report.steadyStates.points.size() > kNominalPoint ? report.steadyStates.points[kNominalPoint].waveforms
                                                                 : kNone;
    case TransientScenario::Step:
        return report.loadStep.waveforms;
    case TransientScenario::StartUp:
        return report.startUp.waveforms;
    case TransientScenario::HoldUp:
        break;
    }
    return report.holdUp.waveforms;
}

}  // namespace

std::string FormatTransientText(const TimeDomainReport& report, const TimeDomainInputs& inputs)
{
    if (!report.notComputed.empty())
        return "Time domain: not computed. " + report.notComputed + '\n';
    return SteadyText(report.steadyStates, inputs) + '\n' + LoadStepText(report.loadStep) + '\n' +
           StartUpText(report.startUp) + '\n' + HoldUpText(report.holdUp);
}

std::string FormatTransientJson(const TimeDomainReport& report, const TimeDomainInputs& inputs)
{
    Json document;
    if (!report.notComputed.empty())
        document["notComputed"] = report.notComputed;
    Json steady = Json::array();
    for (const SteadyStatePoint& point : report.steadyStates.points)
        steady.push_back(SteadyJson(point, inputs));
    document["steady"] = steady;
    document["loadStep"] = LoadStepJson(report.loadStep);
    document["startUp"] = StartUpJson(report.startUp);
    document["holdUp"] = HoldUpJson(report.holdUp);
    return JsonText(document);
}

std::string FormatTransientCsv(const TimeDomainReport& report, TransientScenario scenario)
{
    const Waveforms& w = WaveformsOf(report, scenario);
    std::string text = "time_s,line_voltage_v,input_current_a,inductor_current_a,output_voltage_v,control_output\n";
    for (std::size_t k = 0; k < w.time.size(); ++k) {
        for (const std::vector<double>* series :
             {&w.time, &w.lineVoltage, &w.lineCurrent, &w.inductorCurrent, &w.outputVoltage, &w.controlOutput})
            text += FormatDouble((*series)[k], kRoundTripDigits) + (series == &w.controlOutput ? "\n" : ",");
    }
    return text;
}

}  // namespace qxr::cli
