#pragma once
// The program's private window messages as posted Qt events. The numbers lie
// in Qt's user event range, so each message's event type is its own number.

#include "faxcourier/pipeline/messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <cstdint>

namespace korva::app {

class PrivateMessage : public QEvent {
public:
    PrivateMessage(unsigned number, std::intptr_t lParam) : QEvent(static_cast<QEvent::Type>(number)), lParam_(lParam)
    {
    }
    unsigned number() const { return static_cast<unsigned>(type()); }
    std::intptr_t lParam() const { return lParam_; }

private:
    std::intptr_t lParam_;
};

inline bool isPrivateMessage(const QEvent* event, unsigned number)
{
    return event->type() == static_cast<QEvent::Type>(number);
}

// Posts (never sends) the message; safe from any thread. Nothing happens
// when the target is gone.
inline void postMessage(QObject* target, unsigned number, std::intptr_t lParam = 0)
{
    if (target)
        QCoreApplication::postEvent(target, new PrivateMessage(number, lParam));
}

}  // namespace korva::app
