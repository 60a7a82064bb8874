#pragma once
// The hidden main window: never shown, it exists to receive the watcher's
// 0x8000 as a posted event. A close request ends the program.

#include "faxcourier/pipeline/messages.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace korva::app {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow();

    // What 0x8000 runs; the arrival handler once start-up has built it.
    void setArrivalHandler(std::function<void()> handler) { onArrival_ = std::move(handler); }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> onArrival_;
};

// Posts pipeline messages to a Qt object as PrivateMessage events; safe from
// any thread while the object lives.
class PostedMessageTarget : public MessageTarget {
public:
    explicit PostedMessageTarget(QObject* receiver) : receiver_(receiver) {}
    void postMessage(unsigned message, std::intptr_t lParam) override;

private:
    QObject* receiver_;
};

}  // namespace korva::app
