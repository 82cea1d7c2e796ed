#include "present/TimeDomainTexts.h"

#include <cmath>

#include "model/Enumerations.h"
#include "present/NumberFormat.h"
#include "present/Translation.h"

namespace qxr {

namespace {

std::string Tr(const char* text)
{
    return Translated("TimeDomain", text);
}

// A figure with its unit; a dash where there is none.
std::string Figure(double value, int decimals, const char* unit)
{
    return std::isfinite(value) ? FormatFixed(value, decimals) + unit : "-";
}

std::string ClassText(int32_t harmonicClass)
{
    return harmonicClass == CHarmonicClass::D ? "Class D" : "Class A";
}

std::string Verdict(const HarmonicLimitCheck& check)
{
    switch (check.verdict) {
    case HarmonicLimitCheck::Verdict::Pass:
        return Tr("pass") + " (" + ClassText(check.appliedClass) + ")";
    case HarmonicLimitCheck::Verdict::Fail:
        return Tr("FAIL") + " (" + ClassText(check.appliedClass) + ")";
    case HarmonicLimitCheck::Verdict::NoLimits:
        break;
    }
    return Tr("no limits");
}

std::string Margin(const HarmonicLimitCheck& check)
{
    if (check.smallestMarginOrder == 0)
        return "-";
    return Figure(check.smallestMarginPercent, 0, " %") + " (H" + std::to_string(check.smallestMarginOrder) + ")";
}

std::string Settling(const Recovery& recovery)
{
    return std::isnan(recovery.settlingTime) ? Tr("does not settle")
                                             : Tr("settles in") + " " + Figure(1000 * recovery.settlingTime, 0, " ms");
}

void AddNote(std::vector<std::string>& notes, const std::string& where, const std::string& notComputed,
             const std::string& note)
{
    const std::string& text = notComputed.empty() ? note : notComputed;
    if (!text.empty())
        notes.push_back(where + text);
}

}  // namespace

const SteadyRow& SteadyHeadings()
{
    static const SteadyRow headings{"Line",          "Load",         "PF",        "THD",         "H3",
                                    "IEC 61000-3-2", "Least margin", "Vout mean", "Vout ripple", "iL peak"};
    return headings;
}

SteadyRow SteadyCells(const SteadyStatePoint& point, double pOut)
{
    const HarmonicAnalysis& h = point.harmonics;
    return {Figure(point.lineVoltage, 0, " V"),
            Figure(point.loadFraction * pOut, 0, " W"),
            Figure(h.powerFactor, 4, ""),
            Figure(h.thd, 2, " %"),
            Figure(h.thirdHarmonic, 2, " %"),
            Verdict(point.limits),
            Margin(point.limits),
            Figure(point.outputMean, 1, " V"),
            Figure(point.outputPeakToPeak, 1, " V"),
            Figure(point.inductorPeak, 2, " A")};
}

std::string LoadStepSummary(const LoadStepResult& step)
{
    if (!step.notComputed.empty())
        return step.notComputed;
    return Figure(step.fromPower, 0, " W") + " → " + Figure(step.toPower, 0, " W") + " → " +
           Figure(step.fromPower, 0, " W") + ": " + Figure(step.outputMin, 1, " V") + " to " +
           Figure(step.outputMax, 1, " V") + "; " + Tr("step") + " " + Settling(step.step) + ", " + Tr("back") + " " +
           Settling(step.stepBack) + (step.reachesOverVoltage ? "; " + Tr("reaches V__OUT_MAX") : "") +
           (step.fallsBelowMinimum ? "; " + Tr("falls below V__OUT_MIN") : "") + "; " + Tr("crossover") + " " +
           Figure(step.loop.designedCrossover, 1, " Hz") + " " + Tr("designed") + ", " +
           Figure(step.loop.effectiveCrossover, 1, " Hz") + " " + Tr("in effect");
}

std::string StartUpSummary(const StartUpResult& startUp)
{
    if (!startUp.notComputed.empty())
        return startUp.notComputed;
    const Recovery& r = startUp.regulation;
    return Tr("highest output") + " " + Figure(r.outputMax, 1, " V") + ", " + Tr("peak inductor current") + " " +
           Figure(r.inductorPeak, 2, " A") + ", " +
           (std::isnan(r.settlingTime) ? Tr("does not reach regulation")
                                       : Tr("in regulation after") + " " + Figure(1000 * r.settlingTime, 0, " ms"));
}

std::string HoldUpSummary(const HoldUpResult& holdUp)
{
    if (!holdUp.notComputed.empty())
        return holdUp.notComputed;
    return Tr("after t__H the output is") + " " + Figure(holdUp.outputAtEnd, 1, " V") + " " + Tr("against") + " " +
           Figure(holdUp.outputMin, 1, " V") + " (" + (holdUp.holdsUp ? Tr("holds up") : Tr("does not hold up")) +
           "); " + Tr("on the line's return it") + " " + Settling(holdUp.recovery);
}

std::vector<std::string> TimeDomainNotes(const TimeDomainReport& report)
{
    std::vector<std::string> notes;
    if (!report.notComputed.empty()) {
        notes.push_back(Tr("Time domain not computed:") + " " + report.notComputed);
        return notes;
    }
    for (const SteadyStatePoint& point : report.steadyStates.points) {
        AddNote(notes,
                Tr("Steady state at") + " " + Figure(point.lineVoltage, 0, " V") + ", " +
                    Figure(100 * point.loadFraction, 0, " %") + " " + Tr("load") + ": ",
                point.notComputed, point.headroom.atLimit ? point.headroom.text : point.settlingNote);
    }
    const LoadStepResult& step = report.loadStep;
    AddNote(notes, Tr("Load step") + ": ", step.notComputed,
            !step.step.note.empty() ? step.step.note : step.stepBack.note);
    AddNote(notes, Tr("Start-up") + ": ", report.startUp.notComputed, report.startUp.regulation.note);
    AddNote(notes, Tr("Hold-up") + ": ", report.holdUp.notComputed, report.holdUp.recovery.note);
    return notes;
}

}  // namespace qxr
