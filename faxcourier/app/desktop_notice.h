#pragma once
// A desktop notification through org.freedesktop.Notifications on the
// session bus. The text always goes to the log; without a session bus or a
// notification service nothing else happens.

#include <string>

namespace korva::app {

// Does not wait for the notification service.
void showDesktopNotice(const std::string& text);

}  // namespace korva::app
