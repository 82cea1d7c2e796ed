#pragma once

#include <cstdint>

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

#include "plot/HoverThrottle.h"

// A clock that moves only when the test moves it.
class FakeHoverClock : public CHoverClock {
public:
    std::uint32_t NowMs() override { return now; }

    std::uint32_t now = 0;
};

// Delivers the running timer's tick now, as the event loop would when it is due.
inline void FireTimer(QTimer& timer)
{
    QTimerEvent tick(timer.timerId());
    QCoreApplication::sendEvent(&timer, &tick);
}
