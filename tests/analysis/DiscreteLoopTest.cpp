#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "analysis/DiscreteLoop.h"
#include "analysis/Recalculate.h"
#include "calc/FixedPoint.h"
#include "model/Enumerations.h"

namespace {

using qxr::ControlLoop;

void DesignDigital(CDesignModel& model, int32_t method, int32_t format)
{
    model.ad.SetUser(CTop::DIGITAL);
    model.disc__DIG.SetUser(method);
    model.fmt__COEF.SetUser(format);
    qxr::Recalculate(model);
}

// In double precision the discrete loops stay close to the prototype below
// Nyquist (the matched transform lags most at the current loop's crossover);
// pre-warping makes them equal at the required crossover, matching their gain.
TEST(DiscreteLoop, FollowsThePrototypeAndPreWarpingMakesItExactAtTheCrossover)
{
    const struct {
        int32_t method;
        double phaseTolerance;
    } cases[] = {{CDiscretisation::Bilinear, 2}, {CDiscretisation::PreWarped, 2}, {CDiscretisation::Matched, 5}};
    for (const auto& c : cases) {
        CDesignModel model;
        DesignDigital(model, c.method, CCoefficientFormat::Double);
        for (ControlLoop loop : qxr::kControlLoops) {
            SCOPED_TRACE(std::to_string(c.method) + (loop == ControlLoop::Voltage ? " voltage" : " current"));
            const auto figures = qxr::DiscreteLoopFiguresOf(model, loop);
            const qxr::LoopData& prototype = model.Loop(loop);
            EXPECT_NEAR(figures.fx / prototype.fx, 1.0, 0.02);
            EXPECT_NEAR(figures.phaseMargin, prototype.phaseMargin, c.phaseTolerance);
            if (c.method != CDiscretisation::Bilinear) {
                EXPECT_NEAR(figures.gainDifferenceDb, 0.0, 1e-9);
            }
            if (c.method == CDiscretisation::PreWarped) {
                EXPECT_NEAR(figures.phaseDifferenceDeg, 0.0, 1e-7);
            }
        }
    }
}

TEST(DiscreteLoop, CurvesStopBelowTheNyquistFrequencyOfTheLoop)
{
    CDesignModel model;
    model.F__SAMP_V.SetUser(1000);
    DesignDigital(model, CDiscretisation::Bilinear, CCoefficientFormat::Double);
    const auto voltage = qxr::DiscreteLoopCurvesOf(model, ControlLoop::Voltage);
    ASSERT_EQ(voltage.freq.size(), qxr::kBodeGridPoints);
    EXPECT_EQ(voltage.freq.front(), 1.0);
    EXPECT_LT(voltage.freq.back(), 500.0);
    EXPECT_GT(voltage.freq.back(), 480.0);
    const auto current = qxr::DiscreteLoopCurvesOf(model, ControlLoop::Current);
    EXPECT_LT(current.freq.back(), model.F__SAMP.Value() / 2);
    EXPECT_EQ(current.loopGain.size(), current.freq.size());
    // Near Nyquist the bilinear compensator falls far below the prototype's gain.
    EXPECT_LT(current.compGain.back(),
              qxr::EvaluateLoop(qxr::LoopModelOf(model, ControlLoop::Current), current.freq.back()).compGain - 10);
}

TEST(DiscreteLoop, Q15CurrentLoopOfTheDefaultDesignStaysWithinTolerance)
{
    CDesignModel q15;
    DesignDigital(q15, CDiscretisation::Bilinear, CCoefficientFormat::Q15);
    CDesignModel exact;
    DesignDigital(exact, CDiscretisation::Bilinear, CCoefficientFormat::Double);
    const auto quantised = qxr::DiscreteLoopFiguresOf(q15, ControlLoop::Current);
    const auto reference = qxr::DiscreteLoopFiguresOf(exact, ControlLoop::Current);
    EXPECT_LT(std::abs(quantised.gainDifferenceDb - reference.gainDifferenceDb), 0.05);
    EXPECT_LT(std::abs(quantised.phaseDifferenceDeg - reference.phaseDifferenceDeg), 0.5);
    EXPECT_EQ(q15.messages.find("current loop's response"), std::string::npos) << q15.messages;
    // The voltage loop's integrator and zero sit far below its sampling rate: Q15 cannot hold them.
    EXPECT_NE(q15.messages.find("The Q15 coefficients change the voltage loop's response at its crossover by"),
              std::string::npos)
        << q15.messages;
    EXPECT_NE(q15.messages.find("B1_V rounds to zero in Q15."), std::string::npos);
    CDesignModel coarse;
    coarse.N__FRAC.SetUser(6);
    DesignDigital(coarse, CDiscretisation::Bilinear, CCoefficientFormat::Qmn);
    EXPECT_NE(coarse.messages.find("The Q6 coefficients change the current loop's response"), std::string::npos)
        << coarse.messages;
}

TEST(DiscreteLoop, NothingToDrawWithoutASamplingFrequency)
{
    CDesignModel model;
    model.F__SAMP_V.SetUser(0);
    DesignDigital(model, CDiscretisation::Bilinear, CCoefficientFormat::Q15);
    EXPECT_TRUE(qxr::DiscreteLoopCurvesOf(model, ControlLoop::Voltage).freq.empty());
    EXPECT_TRUE(std::isnan(qxr::DiscreteLoopFiguresOf(model, ControlLoop::Voltage).fx));
    EXPECT_FALSE(std::isnan(qxr::DiscreteLoopFiguresOf(model, ControlLoop::Current).fx));
}

}  // namespace
