#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/Enumerations.h"
#include "timedomain/Harmonics.h"

namespace {

using qxr::HarmonicAnalysis;
using qxr::HarmonicLimitCheck;
using qxr::kHighestHarmonic;

constexpr double kPi = 3.14159265358979323846;
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// One period sampled at N points from phase 0: a sine line and a current of known harmonics.
struct Period {
    std::vector<double> voltage, current;
};

Period Sampled(const std::vector<std::pair<int, std::pair<double, double>>>& harmonics, int n = 512)
{
    Period p;
    for (int k = 0; k < n; ++k) {
        const double theta = 2 * kPi * k / n;
        double i = 0;
        for (const auto& [order, amplitudeAndPhase] : harmonics)
            i += amplitudeAndPhase.first * std::sin(order * theta + amplitudeAndPhase.second);
        p.voltage.push_back(325 * std::sin(theta));
        p.current.push_back(i);
    }
    return p;
}

TEST(TimeDomainHarmonics, FourierAnalysisFindsKnownHarmonics)
{
    // Peak amplitudes and phases (rad) of orders 1, 2, 3, 7, 39.
    const Period p =
        Sampled({{1, {2.0, 0.1}}, {2, {0.05, 1.0}}, {3, {0.3, -0.7}}, {7, {0.12, 2.0}}, {39, {0.01, 0.3}}});
    const HarmonicAnalysis h = qxr::AnalyseOnePeriod(p.voltage, p.current);
    const double root2 = std::sqrt(2.0);
    EXPECT_NEAR(h.rms[1], 2.0 / root2, 1e-12);
    EXPECT_NEAR(h.rms[2], 0.05 / root2, 1e-12);
    EXPECT_NEAR(h.rms[3], 0.3 / root2, 1e-12);
    EXPECT_NEAR(h.rms[7], 0.12 / root2, 1e-12);
    EXPECT_NEAR(h.rms[39], 0.01 / root2, 1e-12);
    EXPECT_NEAR(h.rms[5], 0.0, 1e-12);
    const double distortion = std::sqrt(0.05 * 0.05 + 0.3 * 0.3 + 0.12 * 0.12 + 0.01 * 0.01) / 2.0;
    EXPECT_NEAR(h.thd, 100 * distortion, 1e-9);
    EXPECT_NEAR(h.thirdHarmonic, 100 * 0.3 / 2.0, 1e-9);
    EXPECT_NEAR(h.fundamentalPhase, 0.1 * 180 / kPi, 1e-9);
    // Only the fundamental carries power; the rms current holds every order.
    const double power = 325 / root2 * 2.0 / root2 * std::cos(0.1);
    const double rms = std::sqrt(4.0 + 0.05 * 0.05 + 0.09 + 0.0144 + 0.0001) / root2;
    EXPECT_NEAR(h.inputPower, power, 1e-9);
    EXPECT_NEAR(h.rmsCurrent, rms, 1e-12);
    EXPECT_NEAR(h.powerFactor, power / (325 / root2 * rms), 1e-12);
}

// IEC 61000-3-2: Class A in A rms, Class D in mA per watt, for orders 2 to 40.
const double kClassA[] = {1.08,      2.3,       0.43,      1.14,      0.3,       0.77,      0.23,      0.4,
                          0.184,     0.33,      0.153333,  0.21,      0.131429,  0.15,      0.115,     0.132353,
                          0.102222,  0.118421,  0.092,     0.107143,  0.0836364, 0.0978261, 0.0766667, 0.09,
                          0.0707692, 0.0833333, 0.0657143, 0.0775862, 0.0613333, 0.0725806, 0.0575,    0.0681818,
                          0.0541176, 0.0642857, 0.0511111, 0.0608108, 0.0484211, 0.0576923, 0.046};
const double kClassD[] = {kNone, 3.4,      kNone, 1.9,      kNone, 1,        kNone, 0.5,       kNone, 0.35,
                          kNone, 0.296154, kNone, 0.256667, kNone, 0.226471, kNone, 0.202632,  kNone, 0.183333,
                          kNone, 0.167391, kNone, 0.154,    kNone, 0.142593, kNone, 0.132759,  kNone, 0.124194,
                          kNone, 0.116667, kNone, 0.11,     kNone, 0.104054, kNone, 0.0987179, kNone};

TEST(TimeDomainHarmonics, LimitTablesForEveryOrder)
{
    static_assert(std::size(kClassA) == kHighestHarmonic - 1 && std::size(kClassD) == kHighestHarmonic - 1);
    EXPECT_TRUE(std::isnan(qxr::ClassALimit(1)));
    EXPECT_TRUE(std::isnan(qxr::ClassDLimitPerWatt(1)));
    for (int order = 2; order <= kHighestHarmonic; ++order) {
        SCOPED_TRACE(order);
        EXPECT_NEAR(qxr::ClassALimit(order), kClassA[order - 2], 5e-6 * kClassA[order - 2]);
        const double perWatt = qxr::ClassDLimitPerWatt(order);
        if (std::isnan(kClassD[order - 2])) {
            EXPECT_TRUE(std::isnan(perWatt));
        } else {
            EXPECT_NEAR(perWatt * 1000, kClassD[order - 2], 5e-6 * kClassD[order - 2]);
        }
    }
}

// A current of the given input power with one harmonic added.
HarmonicAnalysis WithHarmonic(double inputPower, int order, double rms)
{
    HarmonicAnalysis h;
    h.inputPower = inputPower;
    h.rms.fill(0.0);
    h.rms[1] = inputPower / 230;
    h.rms[order] = rms;
    return h;
}

TEST(TimeDomainHarmonics, LimitCheckByClassAndPower)
{
    struct Case {
        const char* name;
        int32_t harmonicClass;
        double power;  // W at the point
        double rated;  // W the stage is rated at
        int order;
        double rms;
        HarmonicLimitCheck::Verdict verdict;
        int32_t applied;
        int worstOrder;
        double worstMargin;  // A
        const char* text;
    };
    using V = HarmonicLimitCheck::Verdict;
    const int32_t A = CHarmonicClass::A, D = CHarmonicClass::D;
    const Case cases[] = {
        {"no limits at 75 W", D, 75, 75, 3, 5.0, V::NoLimits, D, 0, kNone, "75 W or less"},
        // A light point of a stage rated above 75 W keeps its limits, Class D's at the point's own power.
        {"rated above, run below 75 W", D, 60, 150, 3, 0.2, V::Pass, D, 3, 0.004, "Passes the Class D limits at 60 W"},
        {"class A passes", A, 150, 150, 3, 2.2, V::Pass, A, 3, 0.1, "Passes the Class A limits"},
        {"class A fails at an even order", A, 150, 150, 2, 1.1, V::Fail, A, 2, -0.02, "Fails the Class A limits"},
        {"class D per watt", D, 300, 300, 3, 1.0, V::Pass, D, 3, 0.02, "Passes the Class D limits"},
        {"class D fails", D, 300, 300, 3, 1.05, V::Fail, D, 3, -0.03, "Fails the Class D limits"},
        // 3.85/15 mA/W at 590 W is 0.15143 A, above Class A's 0.15 A: the cap applies.
        {"class D capped at class A", D, 590, 590, 15, 0.149, V::Pass, D, 15, 0.001, "Class D"},
        {"class D has no even limits", D, 300, 300, 2, 5.0, V::Pass, D, 3, 1.02, "Passes the Class D"},
        {"above 600 W class A applies", D, 700, 700, 3, 2.0, V::Pass, A, 3, 0.3, "Class D applies only up to 600 W"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HarmonicLimitCheck check =
            qxr::CheckHarmonicLimits(WithHarmonic(c.power, c.order, c.rms), c.harmonicClass, c.rated);
        EXPECT_EQ(check.verdict, c.verdict);
        EXPECT_EQ(check.appliedClass, c.applied);
        EXPECT_EQ(check.smallestMarginOrder, c.worstOrder);
        if (!std::isnan(c.worstMargin)) {
            EXPECT_NEAR(check.smallestMargin, c.worstMargin, 1e-9);
        }
        EXPECT_NE(check.text.find(c.text), std::string::npos) << check.text;
        if (c.verdict == V::NoLimits) {
            EXPECT_TRUE(std::isnan(check.limit[3]));
        }
    }
}

}  // namespace
