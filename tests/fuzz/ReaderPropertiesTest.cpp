// The checks of the fuzz targets catch what they are there for: each faulty
// result below is what a reader with a planted fault would give, and each
// good one is what the real reader gives.
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "ReaderProperties.h"
#include "analysis/MeasuredLoop.h"
#include "app/InstanceMessage.h"
#include "app/RecoveryName.h"
#include "spice/SpiceOutput.h"

namespace {

using namespace qxr;
using namespace qxr::fuzz;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const char kMeasurement[] = "f,gain,phase\n10,20,-90\n100,0,-120\n1000,-20,-200\n";

TEST(ReaderProperties, AMeasurementAsReadPassesAndEachFaultIsCaught)
{
    const MeasurementRead good = ReadMeasurement(kMeasurement);
    ASSERT_EQ(good.error, "");
    EXPECT_EQ(MeasurementViolation(good), "");
    EXPECT_EQ(MeasurementViolation(ReadMeasurement("f,gain,phase\n10,20,-90\n10,0,-90\n")), "");

    const auto faulty = [&good](auto&& plant) {
        MeasurementRead read = good;
        plant(read);
        return MeasurementViolation(read);
    };
    EXPECT_NE(faulty([](MeasurementRead& r) { r.error = "line 3: x"; }), "") << "points and an error";
    EXPECT_NE(faulty([](MeasurementRead& r) { r.points.clear(); }), "") << "neither";
    EXPECT_NE(MeasurementViolation({{}, "the frequency must be above 0 Hz"}), "") << "no line";
    EXPECT_NE(faulty([](MeasurementRead& r) { r.points.pop_back(), r.points.pop_back(); }), "") << "one point";
    EXPECT_NE(faulty([](MeasurementRead& r) { r.points[1].freq = 10; }), "") << "a repeated frequency";
    EXPECT_NE(faulty([](MeasurementRead& r) { r.points[2].freq = 50; }), "") << "a falling frequency";
    EXPECT_NE(faulty([](MeasurementRead& r) { r.points[0].freq = 0; }), "") << "0 Hz";
    EXPECT_NE(faulty([](MeasurementRead& r) { r.points[2].freq = kInf; }), "") << "an infinite frequency";
    EXPECT_NE(faulty([](MeasurementRead& r) { r.points[1].gainDb = kNaN; }), "") << "a NaN gain";
    EXPECT_NE(faulty([](MeasurementRead& r) { r.points[1].gainDb = 2 * kMaxMeasuredGainDb; }), "") << "a huge gain";
    EXPECT_NE(faulty([](MeasurementRead& r) { r.points[2].phaseDeg = 160; }), "") << "a wrapped phase";
    EXPECT_NE(faulty([](MeasurementRead& r) { r.points[2].phaseDeg = kInf; }), "") << "an infinite phase";
}

TEST(ReaderProperties, MeasuredFiguresAsFoundPassAndEachFaultIsCaught)
{
    const ExactMetrics good = MeasuredMetricsOf(ReadMeasurement(kMeasurement).points);
    ASSERT_FALSE(std::isnan(good.fx));
    EXPECT_EQ(MeasuredFiguresViolation(good), "");
    EXPECT_EQ(MeasuredFiguresViolation(ExactMetrics{}), "") << "no crossover, no figures";
    EXPECT_EQ(MeasuredFiguresViolation({100, 60, kInf, -20}), "") << "a phase that never falls through";

    const ExactMetrics faults[] = {
        {kNaN, 60, kInf, -20}, {0, 60, kInf, -20},    {kInf, 60, kInf, -20}, {100, 181, kInf, -20}, {100, kNaN, 6, -20},
        {100, 60, kNaN, -20},  {100, 60, -kInf, -20}, {100, 60, 6, -kInf},   {100, 60, 6, kNaN},    {100, 60, 6, 20},
    };
    for (const ExactMetrics& f : faults)
        EXPECT_NE(MeasuredFiguresViolation(f), "") << f.fx << " " << f.pm << " " << f.gm << " " << f.slope;
}

TEST(ReaderProperties, AMessageAsTakenPassesAndEachFaultIsCaught)
{
    const std::string bytes = InstanceMessage("/d/a.qxr") + InstanceMessage("/b");
    const TakenMessage good = TakeInstanceMessage(bytes);
    EXPECT_EQ(InstanceMessageViolation(bytes, good), "");
    const std::string partOfALength("\0\0", 2);
    EXPECT_EQ(InstanceMessageViolation(partOfALength, TakeInstanceMessage(partOfALength)), "");

    using Status = TakenMessage::Status;
    const TakenMessage faults[] = {
        {Status::Name, 8, "d/a.qxr"},                     // relative
        {Status::Name, 12, std::string("/d/\0.qxr", 8)},  // a NUL byte
        {Status::Name, 4, ""},                            // empty
        {Status::Name, 11, "/d/a.qx"},                    // one byte short of what was sent
        {Status::Name, 12, "/d/a.qxz"},                   // another name than was sent
    };
    for (const TakenMessage& f : faults)
        EXPECT_NE(InstanceMessageViolation(bytes, f), "") << f.name;
    const std::string longest = InstanceMessage("/" + std::string(kMaxInstanceNameBytes - 1, 'n'));
    EXPECT_NE(InstanceMessageViolation(longest, {Status::Incomplete, 0, {}}), "") << "a whole message left waiting";
    for (const std::string& never : {std::string("\0\0\0\0/", 5), std::string("\0\x01\0\x01/", 5)})
        EXPECT_NE(InstanceMessageViolation(never, {Status::Incomplete, 0, {}}), "") << "a length no message has";
}

TEST(ReaderProperties, ARecoveryNameAsReadPassesAndEachFaultIsCaught)
{
    for (const std::string bytes : {"/home/user/a.qxr", "", "/two\nlines.qxr"})
        EXPECT_EQ(RecoveryNameViolation(bytes, RecoveryNameFromBytes(bytes)), "") << bytes;
    const std::string nul("/a\0b", 4);
    EXPECT_EQ(RecoveryNameViolation(nul, RecoveryNameFromBytes(nul)), "");

    EXPECT_NE(RecoveryNameViolation("/two\nlines.qxr", "/two"), "") << "cut at the line break";
    EXPECT_NE(RecoveryNameViolation("/a.qxr\n", "/a.qxr"), "") << "a line break trimmed";
    EXPECT_NE(RecoveryNameViolation(nul, nul), "") << "a NUL byte kept";
    EXPECT_NE(RecoveryNameViolation("/a.qxr", std::nullopt), "") << "a name lost";
    const std::string tooLong(kMaxRecoveryNameBytes + 1, '/');
    EXPECT_NE(RecoveryNameViolation(tooLong, tooLong), "") << "too long";
}

TEST(ReaderProperties, ASpiceTableAsReadPassesAndEachFaultIsCaught)
{
    const SpiceTable good =
        ReadSpiceTable(" frequency gain phase\n 1 2 3\n 10 -4 -5\n", "frequency", {"gain", "phase"});
    ASSERT_EQ(good.error, "");
    EXPECT_EQ(SpiceTableViolation(good, 2), "");
    const SpiceTable bad = ReadSpiceTable(" frequency gain phase\n 1 2\n", "frequency", {"gain", "phase"});
    EXPECT_EQ(SpiceTableViolation(bad, 2), "");

    const auto faulty = [&good](auto&& plant) {
        SpiceTable table = good;
        plant(table);
        return SpiceTableViolation(table, 2);
    };
    EXPECT_NE(faulty([](SpiceTable& t) { t.error = "line 2: x"; }), "") << "a table and an error";
    EXPECT_NE(faulty([](SpiceTable& t) { t.scale.clear(), t.vectors.clear(); }), "") << "neither";
    EXPECT_NE(SpiceTableViolation({{}, {}, "no points"}, 2), "") << "no line";
    EXPECT_NE(faulty([](SpiceTable& t) { t.vectors.pop_back(); }), "") << "a vector short";
    EXPECT_NE(faulty([](SpiceTable& t) { t.vectors[1].pop_back(); }), "") << "a vector shorter than the scale";
    EXPECT_NE(faulty([](SpiceTable& t) { t.scale[1] = 1; }), "") << "a scale standing";
    EXPECT_NE(faulty([](SpiceTable& t) { t.scale[1] = 0.5; }), "") << "a scale falling";
    EXPECT_NE(faulty([](SpiceTable& t) { t.scale[0] = kNaN; }), "") << "a NaN scale";
    EXPECT_NE(faulty([](SpiceTable& t) { t.vectors[0][1] = kInf; }), "") << "an infinite value";
    EXPECT_NE(faulty([](SpiceTable& t) { t.vectors[1][0] = 2 * kMaxSpiceMagnitude; }), "") << "beyond the bound";
}

}  // namespace
