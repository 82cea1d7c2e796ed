#pragma once

#include <array>

#include <QSize>

enum class ScrollAxis { Horizontal, Vertical };

// What a scroll bar asks for: a line or a page either way, or the thumb
// dragged to a track position.
enum class ScrollCode { LineBack, LineForward, PageBack, PageForward, ThumbTrack };

// One direction of a scrolled page. The viewport is the visible extent while
// the content is larger, else 0; the position is the scroll offset in pixels.
struct ScrollAxisState {
    int viewport = 0;
    int content = 0;
    int position = 0;

    bool Scrollable() const { return viewport > 0; }
    // The largest position the scroll commands reach.
    int Limit() const { return Scrollable() ? content - viewport : 0; }
};

// The scroll bookkeeping of the tab control's scroll host, free of widgets so
// that every rule can be checked on its own.
class CMfcScrollState {
public:
    static constexpr int kLineStep = 60;
    static constexpr int kWheelNotch = 120;
    // The wheel-lines setting that means a page per notch.
    static constexpr int kWheelPageScroll = -1;

    const ScrollAxisState& At(ScrollAxis axis) const { return axes_[Index(axis)]; }

    // The content is the current page's natural size; follow with UpdateScrollBars.
    void SetContentSize(QSize content);
    // Fits the state to the visible size after the host or its content changed.
    void UpdateScrollBars(QSize visible);
    // trackPosition is read for ScrollCode::ThumbTrack only.
    void Scroll(ScrollAxis axis, ScrollCode code, int trackPosition = 0);
    // Scrolls vertically for a wheel turn of delta (120 per notch, positive away
    // from the user). Returns false, doing nothing, when there is nothing to scroll.
    bool Wheel(int delta, int wheelLines);

private:
    static std::size_t Index(ScrollAxis axis) { return static_cast<std::size_t>(axis); }
    static void UpdateAxis(ScrollAxisState& axis, int visible);
    void ScrollBy(ScrollAxis axis, int change);

    std::array<ScrollAxisState, 2> axes_{};
};
