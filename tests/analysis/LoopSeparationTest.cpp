#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/DesignText.h"
#include "analysis/LoopSeparation.h"
#include "analysis/Recalculate.h"
#include "analysis/Robustness.h"
#include "model/DesignModel.h"

namespace {

using namespace qxr;

// The notes, which never join the design's messages: those of a design stay as they were.
std::vector<std::string> SeparationMessages(CDesignModel& model)
{
    for (const std::string& line : MessageLines(model))
        EXPECT_EQ(line.find("crossover of"), std::string::npos) << line;
    return LoopSeparationNotes(model);
}

// Right at each boundary and just beyond it, in both Modes.
TEST(LoopSeparation, EachCheckSpeaksJustBeyondItsBoundary)
{
    struct Case {
        int32_t mode;
        std::vector<std::pair<CSymbol CDesignModel::*, double>> edits;
        std::vector<std::string> messages;
    };
    using M = CDesignModel;
    const std::string rhpz = "The current loop's crossover of 3 kHz is within a factor of 5 of the lowest "
                             "right-half-plane zero over line, load and inductance (";
    const Case cases[] = {
        {CTop::ANALOG, {{&M::F__X_VLOOP, 20}, {&M::F__X_ILOOP, 3000}}, {}},
        {CTop::ANALOG,
         {{&M::F__X_VLOOP, 20.001}, {&M::F__X_ILOOP, 3000}},
         {"The voltage loop's crossover of 20 Hz is within a factor of 5 of twice the line frequency (100 Hz): "
          "the output's ripple passes into the current reference and distorts the line current."}},
        {CTop::ANALOG,
         {{&M::f__LINE, 60}, {&M::F__X_VLOOP, 24.001}, {&M::F__X_ILOOP, 3000}},
         {"The voltage loop's crossover of 24 Hz is within a factor of 5 of twice the line frequency (120 Hz): "
          "the output's ripple passes into the current reference and distorts the line current."}},
        {CTop::ANALOG,
         {{&M::f__S, 600e3}, {&M::F__X_ILOOP, 100.001e3}, {&M::L__MIN, 20e-6}},
         {"The current loop's crossover of 100 kHz is above a sixth of the switching frequency f__S (600 kHz)."}},
        {CTop::DIGITAL,
         {{&M::F__SAMP, 600e3}, {&M::f__S, 1.2e6}, {&M::F__X_ILOOP, 100.001e3}, {&M::L__MIN, 20e-6}},
         {"The current loop's crossover of 100 kHz is above a sixth of the sampling frequency F__SAMP (600 kHz)."}},
    };
    for (const Case& c : cases) {
        CDesignModel model;
        model.ad.SetUser(c.mode);
        for (const auto& [symbol, value] : c.edits)
            (model.*symbol).SetUser(value);
        Recalculate(model);
        SCOPED_TRACE(model.messages);
        EXPECT_EQ(SeparationMessages(model), c.messages);
    }
}

TEST(LoopSeparation, TheCurrentLoopKeepsAFactorOfFiveFromTheLowestRhpz)
{
    CDesignModel model;
    model.ad.SetUser(CTop::ANALOG);
    Recalculate(model);
    const double lowest = LowestRhpz(model);
    EXPECT_EQ(lowest, AnalyseRobustness(ReadRobustnessInputs(model)).rhpz.min);
    for (auto [crossover, warned] : {std::pair{lowest / 5, false}, {lowest / 5 * 1.0001, true}}) {
        model.F__X_ILOOP.SetUser(crossover);
        Recalculate(model);
        const std::vector<std::string> messages = SeparationMessages(model);
        ASSERT_EQ(messages.size(), warned ? 1u : 0u) << crossover;
        if (warned) {
            EXPECT_NE(
                messages[0].find("of the lowest right-half-plane zero over line, load and inductance (16.4 kHz)."),
                std::string::npos)
                << messages[0];
        }
    }
}

// Each loop's tab shows its own notes: the voltage loop's first, the current loop's after, as in the whole list.
TEST(LoopSeparation, EachLoopHasItsOwnNotes)
{
    CDesignModel model;
    model.ad.SetUser(CTop::ANALOG);
    model.F__X_VLOOP.SetUser(25);
    model.F__X_ILOOP.SetUser(40e3);
    Recalculate(model);
    const std::vector<std::string> voltage = LoopSeparationNotes(model, ControlLoop::Voltage);
    const std::vector<std::string> current = LoopSeparationNotes(model, ControlLoop::Current);
    ASSERT_EQ(voltage.size(), 1u);
    ASSERT_EQ(current.size(), 2u);
    EXPECT_EQ(voltage[0].rfind("The voltage loop's", 0), 0u);
    for (const std::string& note : current)
        EXPECT_EQ(note.rfind("The current loop's", 0), 0u) << note;
    std::vector<std::string> both = voltage;
    both.insert(both.end(), current.begin(), current.end());
    EXPECT_EQ(LoopSeparationNotes(model), both);
}

}  // namespace
