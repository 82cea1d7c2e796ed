#include <gtest/gtest.h>

#include "widgets/ScrollState.h"

namespace {

// A page 400 x 1000 in a host showing 500 x 300: it fits across and scrolls
// down by up to 700 pixels.
CMfcScrollState TallPage(int visibleHeight = 300, int position = 0)
{
    CMfcScrollState state;
    state.SetContentSize({400, 1000});
    state.UpdateScrollBars({500, visibleHeight});
    state.Scroll(ScrollAxis::Vertical, ScrollCode::ThumbTrack, position);
    return state;
}

int VerticalPosition(const CMfcScrollState& state)
{
    return state.At(ScrollAxis::Vertical).position;
}

TEST(ScrollState, TallPageScrollsByLinesPagesAndThumbWithinItsRange)
{
    CMfcScrollState state = TallPage();
    const ScrollAxisState& vertical = state.At(ScrollAxis::Vertical);
    EXPECT_TRUE(vertical.Scrollable());
    EXPECT_EQ(vertical.viewport, 300);
    EXPECT_FALSE(state.At(ScrollAxis::Horizontal).Scrollable());

    struct Step {
        ScrollCode code;
        int track;
        int position;
    };
    const Step steps[] = {
        {ScrollCode::LineForward, 0, 60},    {ScrollCode::PageForward, 0, 360}, {ScrollCode::ThumbTrack, 650, 650},
        {ScrollCode::LineForward, 0, 700},   {ScrollCode::PageForward, 0, 700}, {ScrollCode::LineBack, 0, 640},
        {ScrollCode::PageBack, 0, 340},      {ScrollCode::ThumbTrack, -50, 0},  {ScrollCode::LineBack, 0, 0},
        {ScrollCode::ThumbTrack, 5000, 700},
    };
    for (const Step& step : steps) {
        state.Scroll(ScrollAxis::Vertical, step.code, step.track);
        EXPECT_EQ(VerticalPosition(state), step.position)
            << "code " << static_cast<int>(step.code) << " track " << step.track;
    }
    // At the end the page's bottom edge is the viewport's.
    EXPECT_EQ(VerticalPosition(state) + vertical.viewport, vertical.content);
}

TEST(ScrollState, PageThatFitsNeverScrolls)
{
    CMfcScrollState state = TallPage(300, 500);
    state.SetContentSize({500, 300});
    state.UpdateScrollBars({500, 300});

    for (const ScrollAxis axis : {ScrollAxis::Horizontal, ScrollAxis::Vertical}) {
        EXPECT_FALSE(state.At(axis).Scrollable());
        for (const ScrollCode code : {ScrollCode::LineForward, ScrollCode::PageForward, ScrollCode::ThumbTrack})
            state.Scroll(axis, code, 100);
        EXPECT_EQ(state.At(axis).position, 0);
    }
    EXPECT_FALSE(state.Wheel(-120, 3));
    EXPECT_EQ(VerticalPosition(state), 0);
}

TEST(ScrollState, ResizingKeepsThePositionProportionalButShortOfTheEnd)
{
    struct Case {
        int position, oldHeight, newHeight, expected;
    };
    const Case cases[] = {
        {300, 300, 400, 400},                       // 300 * 400 / 300
        {600, 300, 400, 599},                       // 800, beyond 1000 - 400 - 1
        {100, 300, 200, 66},                        // 66.7 truncated
        {1, 300, 299, 0},                           // 0.997 truncated
        {700, 300, 300, 699},                       // at the end, a layout at the same size steps back a pixel
        {0, 300, 400, 0},     {500, 300, 1000, 0},  // the page fits now
    };
    for (const Case& c : cases) {
        CMfcScrollState state = TallPage(c.oldHeight, c.position);
        ASSERT_EQ(VerticalPosition(state), c.position);
        state.UpdateScrollBars({500, c.newHeight});
        EXPECT_EQ(VerticalPosition(state), c.expected) << c.position << " at " << c.oldHeight << " -> " << c.newHeight;
    }
}

TEST(ScrollState, WheelStepsByNotchesAndTheLinesSetting)
{
    struct Case {
        int delta, lines, expected;
    };
    const int page = CMfcScrollState::kWheelPageScroll;
    const Case cases[] = {
        {240, 3, 180},  {-120, 3, 360}, {120, 3, 240},   {30, 3, 240},   {-30, 3, 360},
        {-180, 6, 420}, {-240, 1, 360}, {-1200, 3, 700}, {120, page, 0}, {-120, page, 600},
    };
    for (const Case& c : cases) {
        CMfcScrollState state = TallPage(300, 300);
        EXPECT_TRUE(state.Wheel(c.delta, c.lines));
        EXPECT_EQ(VerticalPosition(state), c.expected) << "delta " << c.delta << " lines " << c.lines;
    }
}

}  // namespace
