#include <cmath>

#include <gtest/gtest.h>

#include "timedomain/FirmwareLoops.h"
#include "timedomain/StageModel.h"
#include "timedomain/TimeDomainTestDesigns.h"

namespace {

constexpr double kL = 780e-6, kTs = 5e-6;

// One switching period drawn out: the current ramps up for d Ts by vIn / L and down for d2 Ts by
// (vOut - vIn) / L; its mean is the averaged model's iL.
struct Period {
    double duty, off, mean;
};

Period Discontinuous(double duty, double vIn, double vOut)
{
    const double peak = vIn * duty * kTs / kL;
    const double off = vIn * duty / (vOut - vIn);
    return {duty, off, peak * (duty + off) / 2};
}

TEST(TimeDomainStage, AveragedSwitchFollowsTheSwitchingPeriod)
{
    struct Case {
        double duty, vIn, vOut;
    };
    for (const Case& c : {Case{0.3, 240, 385}, Case{0.8, 60, 385}, Case{0.05, 360, 385}}) {
        SCOPED_TRACE(c.vIn);
        const Period p = Discontinuous(c.duty, c.vIn, c.vOut);
        ASSERT_LT(p.duty + p.off, 1);
        const qxr::Conduction conduction = qxr::ConductionOf(c.duty, p.mean, c.vIn, kL, kTs);
        EXPECT_EQ(conduction, qxr::Conduction::Discontinuous);
        EXPECT_NEAR(qxr::OffFraction(conduction, c.duty, p.mean, c.vIn, kL, kTs), p.off, 1e-12);
        // The duty that holds this mean current still is the one that drew it.
        EXPECT_NEAR(qxr::HoldingDuty(p.mean, c.vIn, c.vOut, kL, kTs), c.duty, 1e-12);
        // Twice the current flows all period long: d2 is the rest of it, and the duty is the boost's.
        const double twice = 2 * p.mean / (p.duty + p.off);
        EXPECT_EQ(qxr::ConductionOf(c.duty, twice, c.vIn, kL, kTs), qxr::Conduction::Continuous);
        EXPECT_EQ(qxr::OffFraction(qxr::Conduction::Continuous, c.duty, twice, c.vIn, kL, kTs), 1 - c.duty);
        EXPECT_NEAR(qxr::HoldingDuty(twice, c.vIn, c.vOut, kL, kTs), 1 - c.vIn / c.vOut, 1e-12);
    }
    // No line or no duty: the current, if any, flows on through the diode.
    EXPECT_EQ(qxr::ConductionOf(0.0, 1.0, 240, kL, kTs), qxr::Conduction::Continuous);
    EXPECT_EQ(qxr::OffFraction(qxr::Conduction::Discontinuous, 0.5, 1.0, 0.0, kL, kTs), 0.5);
    EXPECT_LE(qxr::HoldingDuty(1.0, 400, 385, kL, kTs), 0);
}

// A loop's integrator limited at the end of its range comes back the moment
// its error turns, in every number format.
TEST(TimeDomainStage, FirmwareLoopDoesNotWindUpAtItsLimit)
{
    for (int32_t format : {CCoefficientFormat::Double, CCoefficientFormat::Float, CCoefficientFormat::Q15}) {
        SCOPED_TRACE(format);
        const qxr::TimeDomainInputs in = qxr::test::DesignInputs(CTop::DIGITAL, {{u"fmt__COEF", format}});
        const double range = in.digitalParts.deltaVAout;
        qxr::FirmwareFilter loop(in.digitalParts.sets[1], in.digitalParts.format, 0, range);
        double output = 0;
        for (int n = 0; n < 20000 && output < range; ++n)
            output = loop.Step(10.0);
        EXPECT_NEAR(output, range, 1e-3 * range);
        for (int n = 0; n < 5000; ++n)
            output = loop.Step(10.0);
        EXPECT_TRUE(loop.AtHigh());
        output = loop.Step(-10.0);
        output = loop.Step(-10.0);
        EXPECT_LT(output, range);
        EXPECT_FALSE(loop.AtHigh());
    }
}

}  // namespace
