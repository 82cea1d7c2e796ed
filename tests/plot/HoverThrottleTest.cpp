#include <vector>

#include <gtest/gtest.h>

#include "PlotTestSupport.h"
#include "plot/HoverThrottle.h"

namespace {

class HoverThrottle : public ::testing::Test {
protected:
    void MoveAt(std::uint32_t now, QPoint position)
    {
        clock.now = now;
        throttle.Move(position);
    }

    FakeHoverClock clock;
    std::vector<QPoint> reports;
    std::uint32_t reportDuration = 0;  // how long the owner takes over a report
    CHoverThrottle throttle{clock, [this](QPoint position) {
                                reports.push_back(position);
                                clock.now += reportDuration;
                            }};
};

TEST_F(HoverThrottle, HoldsMovesBackWithinTenMillisecondsAndTwentyFiveWhileOneWaits)
{
    MoveAt(1000, {1, 1});
    EXPECT_EQ(reports, (std::vector<QPoint>{{1, 1}}));

    MoveAt(1005, {2, 2});
    EXPECT_TRUE(throttle.TimerPending());
    EXPECT_TRUE(throttle.HoldTimer().isActive());
    EXPECT_EQ(throttle.HoldTimer().interval(), 5);  // due when the ten milliseconds are over
    MoveAt(1012, {3, 3});                           // a move already waits: held back too
    EXPECT_EQ(throttle.HeldMove(), QPoint(3, 3));
    EXPECT_EQ(reports.size(), 1u);

    MoveAt(1030, {4, 4});
    EXPECT_EQ(reports, (std::vector<QPoint>{{1, 1}, {4, 4}}));
    EXPECT_FALSE(throttle.TimerPending());
    EXPECT_FALSE(throttle.HoldTimer().isActive());
}

TEST_F(HoverThrottle, ReportsAfterTenMillisecondsWhenNothingWaits)
{
    MoveAt(1000, {1, 1});
    MoveAt(1010, {2, 2});
    MoveAt(1019, {3, 3});
    EXPECT_EQ(reports, (std::vector<QPoint>{{1, 1}, {2, 2}}));
}

TEST_F(HoverThrottle, DeliversTheLatestHeldMoveWhenItsTimerFires)
{
    MoveAt(1000, {1, 1});
    MoveAt(1003, {2, 2});
    MoveAt(1006, {3, 3});
    clock.now = 1010;
    FireTimer(throttle.HoldTimer());
    EXPECT_EQ(reports, (std::vector<QPoint>{{1, 1}, {3, 3}}));
    EXPECT_FALSE(throttle.TimerPending());

    MoveAt(1015, {4, 4});  // ten milliseconds now count from the delivery
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_TRUE(throttle.TimerPending());
}

TEST_F(HoverThrottle, LeavingDropsTheHeldMove)
{
    MoveAt(1000, {1, 1});
    MoveAt(1004, {2, 2});
    throttle.Leave();
    EXPECT_FALSE(throttle.TimerPending());
    EXPECT_FALSE(throttle.HoldTimer().isActive());
    MoveAt(1020, {3, 3});
    EXPECT_EQ(reports, (std::vector<QPoint>{{1, 1}, {3, 3}}));
}

TEST_F(HoverThrottle, TimesFromTheEndOfTheReport)
{
    reportDuration = 8;  // the owner redraws two graphs
    MoveAt(1000, {1, 1});
    MoveAt(1012, {2, 2});  // only 4 ms after the redraw ended
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_TRUE(throttle.TimerPending());
}

TEST_F(HoverThrottle, CountsAcrossTheClocksWrap)
{
    MoveAt(0xFFFFFFF0u, {1, 1});
    MoveAt(0x00000002u, {2, 2});  // 18 ms later
    MoveAt(0x00000005u, {3, 3});  // 3 ms later
    EXPECT_EQ(reports, (std::vector<QPoint>{{1, 1}, {2, 2}}));
    EXPECT_TRUE(throttle.TimerPending());
}

}  // namespace
