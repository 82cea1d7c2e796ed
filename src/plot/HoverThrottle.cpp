#include "plot/HoverThrottle.h"

#include <chrono>

namespace {

class SteadyHoverClock : public CHoverClock {
public:
    std::uint32_t NowMs() override
    {
        const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
    }
};

}  // namespace

CHoverClock& SystemHoverClock()
{
    static SteadyHoverClock clock;
    return clock;
}

CHoverThrottle::CHoverThrottle(CHoverClock& clock, Report report, QObject* parent)
    : QObject(parent), clock_(clock), report_(std::move(report))
{
    holdTimer_.setSingleShot(true);
    connect(&holdTimer_, &QTimer::timeout, this, &CHoverThrottle::DeliverHeldMove);
}

void CHoverThrottle::Move(QPoint position)
{
    // Unsigned arithmetic keeps the difference right across the clock's wrap.
    const std::uint32_t elapsed = clock_.NowMs() - lastReportTick_;
    if ((timerPending_ && elapsed < kHeldReportInterval) || elapsed < kReportInterval)
        Hold(position, elapsed);
    else
        Deliver(position);
}

void CHoverThrottle::Leave()
{
    StopHolding();
}

void CHoverThrottle::Hold(QPoint position, std::uint32_t elapsed)
{
    heldMove_ = position;
    if (timerPending_)
        return;
    timerPending_ = true;
    const std::uint32_t remaining = elapsed < kReportInterval ? kReportInterval - elapsed : 1;
    holdTimer_.start(static_cast<int>(remaining));
}

void CHoverThrottle::Deliver(QPoint position)
{
    StopHolding();
    report_(position);
    // Timed from the end of the report, so a slow redraw does not let reports pile up.
    lastReportTick_ = clock_.NowMs();
}

void CHoverThrottle::DeliverHeldMove()
{
    if (timerPending_)
        Deliver(heldMove_);
}

void CHoverThrottle::StopHolding()
{
    holdTimer_.stop();
    timerPending_ = false;
}
