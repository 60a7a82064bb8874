#pragma once
// The program's private window messages as posted Qt events. The numbers lie
// in Qt's user event range, so each message's event type is its own number.

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <cstdint>

namespace korva::app {

enum PrivateMessageNumber : int {
    MsgDocumentWaiting = 0x8000,  // watcher -> main window
    MsgToForeground = 0x8001,     // come to the foreground
    MsgProgressRange = 0x8002,    // lParam: page count
    MsgProgressPosition = 0x8003, // lParam: page just stored, from 1
    MsgConversionDone = 0x8004,   // ends the progress loop
    MsgRedrawDocuments = 0x8005,  // Send Fax dialog: redraw the document list
};

class PrivateMessage : public QEvent {
public:
    PrivateMessage(int number, std::intptr_t lParam)
        : QEvent(static_cast<QEvent::Type>(number)), lParam_(lParam)
    {
    }
    int number() const { return static_cast<int>(type()); }
    std::intptr_t lParam() const { return lParam_; }

private:
    std::intptr_t lParam_;
};

inline bool isPrivateMessage(const QEvent* event, int number)
{
    return event->type() == static_cast<QEvent::Type>(number);
}

// Posts (never sends) the message; safe from any thread. Nothing happens
// when the target is gone.
inline void postMessage(QObject* target, int number, std::intptr_t lParam = 0)
{
    if (target)
        QCoreApplication::postEvent(target, new PrivateMessage(number, lParam));
}

}  // namespace korva::app
