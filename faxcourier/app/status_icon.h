#pragma once
// The status icon with its menu (Configure..., Address Book..., the Outbox
// window with what waits there, Quit); a left click opens the Outbox window.
// It is
// shown only where the desktop has a status area; elsewhere the program
// stays as it is, with no window at all.

#include <QMenu>
#include <QSystemTrayIcon>

#include <functional>

namespace korva::app {

class StatusIcon {
public:
    struct Actions {
        std::function<void()> configure;
        std::function<void()> addressBook;
        std::function<void()> quit;
        std::function<void()> outbox;  // the Outbox window
    };
    explicit StatusIcon(Actions actions);

    // False (logged) when the desktop has no status area.
    bool show();
    // The menu's Outbox entry says how many faxes wait there to be sent.
    void setOutboxCount(size_t waiting);
    QMenu& menu() { return menu_; }
    const QSystemTrayIcon& icon() const { return icon_; }

private:
    void openOutbox();

    Actions actions_;
    QMenu menu_;
    QAction* outbox_ = nullptr;
    QSystemTrayIcon icon_;
};

}  // namespace korva::app
