#pragma once
// A desktop notification through org.freedesktop.Notifications on the
// session bus. The text always goes to the log (in English); without a session bus or a
// notification service nothing else happens.

#include "faxcourier/outbox/fax_notice_text.h"

#include <functional>
#include <string>

namespace korva::app {

struct DesktopNotice {
    std::string summary;  // UTF-8, short: "Fax sent"
    std::string body;     // UTF-8 lines
    // Offers "Open Outbox" where the notification service shows actions
    // and an opener is set.
    bool offerOutbox = false;
    // The same in English for the log; the shown words when empty.
    std::string loggedSummary{};
    std::string loggedBody{};
};

// `shown` on the desktop, `logged` (the same in English) in the log.
DesktopNotice noticeOf(const NoticeText& shown, const NoticeText& logged, bool offerOutbox = false);

// Does not wait for the notification service. The main thread's only, as
// are the two below.
void showDesktopNotice(const DesktopNotice& notice);
// A line of Windows-1252 text as the summary, with no body.
void showDesktopLine(const std::string& text);

// What "Open Outbox" does; empty: the action is never offered. Returns the
// previous one.
std::function<void()> setOutboxOpener(std::function<void()> open);

}  // namespace korva::app
