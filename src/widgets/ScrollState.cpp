#include "widgets/ScrollState.h"

#include <algorithm>
#include <cstdlib>

void CMfcScrollState::SetContentSize(QSize content)
{
    axes_[Index(ScrollAxis::Horizontal)].content = content.width();
    axes_[Index(ScrollAxis::Vertical)].content = content.height();
}

void CMfcScrollState::UpdateScrollBars(QSize visible)
{
    UpdateAxis(axes_[Index(ScrollAxis::Horizontal)], visible.width());
    UpdateAxis(axes_[Index(ScrollAxis::Vertical)], visible.height());
}

void CMfcScrollState::UpdateAxis(ScrollAxisState& axis, int visible)
{
    if (visible >= axis.content) {
        axis = {0, axis.content, 0};
        return;
    }
    // A resized host keeps showing the same share of the page.
    if (axis.viewport > 0 && axis.position > 0)
        axis.position = static_cast<int>(static_cast<double>(axis.position) * visible / axis.viewport);
    axis.viewport = visible;
    axis.position = std::min(axis.position, axis.content - visible - 1);
}

void CMfcScrollState::Scroll(ScrollAxis axis, ScrollCode code, int trackPosition)
{
    const ScrollAxisState& state = At(axis);
    switch (code) {
    case ScrollCode::LineBack:
        return ScrollBy(axis, -kLineStep);
    case ScrollCode::LineForward:
        return ScrollBy(axis, kLineStep);
    case ScrollCode::PageBack:
        return ScrollBy(axis, -state.viewport);
    case ScrollCode::PageForward:
        return ScrollBy(axis, state.viewport);
    case ScrollCode::ThumbTrack:
        return ScrollBy(axis, trackPosition - state.position);
    }
}

bool CMfcScrollState::Wheel(int delta, int wheelLines)
{
    if (!At(ScrollAxis::Vertical).Scrollable())
        return false;
    const bool towardsTop = delta >= 1;
    if (wheelLines == kWheelPageScroll) {
        Scroll(ScrollAxis::Vertical, towardsTop ? ScrollCode::PageBack : ScrollCode::PageForward);
        return true;
    }
    // A partial notch from a fine-grained wheel still moves one step.
    const int steps = std::max(1, std::abs(delta) / kWheelNotch * wheelLines / 3);
    ScrollBy(ScrollAxis::Vertical, (towardsTop ? -kLineStep : kLineStep) * steps);
    return true;
}

void CMfcScrollState::ScrollBy(ScrollAxis axis, int change)
{
    // A bar with nothing to scroll shows disabled and never moves.
    ScrollAxisState& state = axes_[Index(axis)];
    if (state.Scrollable())
        state.position = std::clamp(state.position + change, 0, state.Limit());
}
