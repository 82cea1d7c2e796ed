#pragma once

#include <memory>

#include <QEvent>

#include "app/StdSignal.h"

class QObject;

// The one way a worker thread hands something to the UI thread: a signal
// object posted, never sent, to an object that lives there, which handles
// the event in its event(). The event owns the signal.
class CSignalEvent : public QEvent {
public:
    static QEvent::Type EventType();

    explicit CSignalEvent(CStdSignal* signal) : QEvent(EventType()), signal(signal) {}
    ~CSignalEvent() override { delete signal; }

    CStdSignal* const signal;
};

// Callable from any thread; a receiver deleted before the event arrives drops it.
void PostSignalTo(QObject* receiver, std::unique_ptr<CStdSignal> signal);
