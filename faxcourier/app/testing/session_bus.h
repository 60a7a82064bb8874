#pragma once
// A private D-Bus session bus for one test: dbus-daemon runs while the
// object lives, and DBUS_SESSION_BUS_ADDRESS names it, so that programs the
// test starts meet on it and never on the user's own bus.

#include "platform/testing/child_process.h"

#include <memory>
#include <optional>
#include <string>

namespace korva::app::testing {

class SessionBus {
public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    // False when dbus-daemon is missing or did not start.
    bool running() const { return daemon_ && daemon_->pid() > 0 && !address_.empty(); }
    const std::string& address() const { return address_; }

private:
    std::unique_ptr<korva::testing::ChildProcess> daemon_;
    std::string address_;
    std::optional<std::string> savedAddress_;
};

// No session bus while the object lives: DBUS_SESSION_BUS_ADDRESS names a
// socket that does not exist, so nothing reaches the user's own bus or
// keyring and a keyring's absence is what the test sees.
class NoSessionBus {
public:
    NoSessionBus();
    ~NoSessionBus();
    NoSessionBus(const NoSessionBus&) = delete;
    NoSessionBus& operator=(const NoSessionBus&) = delete;

private:
    std::optional<std::string> savedAddress_;
};

}  // namespace korva::app::testing
