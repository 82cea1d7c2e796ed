#include "app/SignalEvent.h"

#include <QCoreApplication>

QEvent::Type CSignalEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostSignalTo(QObject* receiver, std::unique_ptr<CStdSignal> signal)
{
    QCoreApplication::postEvent(receiver, new CSignalEvent(signal.release()));
}
