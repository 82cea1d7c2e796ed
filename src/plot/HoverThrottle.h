#pragma once

#include <cstdint>
#include <functional>

#include <QPoint>
#include <QTimer>

// Milliseconds since some fixed moment, wrapping at 2^32. Tests substitute
// a clock of their own.
class CHoverClock {
public:
    virtual ~CHoverClock() = default;
    virtual std::uint32_t NowMs() = 0;
};

// The steady system clock.
CHoverClock& SystemHoverClock();

// Passes mouse moves on at most once per kReportInterval milliseconds, as
// each report makes the owner redraw its graphs. A move that comes too soon
// is held back (the latest one wins) and delivered when the hold timer
// fires, once the interval is over, so the last position is always
// reported. While a move is held back, a new move is reported at once only
// after kHeldReportInterval.
class CHoverThrottle : public QObject {
    Q_OBJECT

public:
    static constexpr std::uint32_t kReportInterval = 10;
    static constexpr std::uint32_t kHeldReportInterval = 25;

    using Report = std::function<void(QPoint position)>;

    // report runs for every move passed on.
    CHoverThrottle(CHoverClock& clock, Report report, QObject* parent = nullptr);

    void Move(QPoint position);
    // The mouse left: a held-back move is dropped.
    void Leave();

    bool TimerPending() const { return timerPending_; }
    QPoint HeldMove() const { return heldMove_; }
    QTimer& HoldTimer() { return holdTimer_; }

private:
    void Hold(QPoint position, std::uint32_t elapsed);
    void Deliver(QPoint position);
    void DeliverHeldMove();
    void StopHolding();

    CHoverClock& clock_;
    Report report_;
    QTimer holdTimer_;
    std::uint32_t lastReportTick_ = 0;
    bool timerPending_ = false;
    QPoint heldMove_;
};
