#include "faxcourier/app/testing/session_bus.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace korva::app::testing {
namespace {

constexpr const char* kDaemon = "/usr/bin/dbus-daemon";
constexpr const char* kAddressVariable = "DBUS_SESSION_BUS_ADDRESS";

}  // namespace

SessionBus::SessionBus()
{
    if (const char* saved = std::getenv(kAddressVariable))
        savedAddress_ = saved;
    if (access(kDaemon, X_OK) != 0)
        return;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return;
    korva::testing::ChildOptions options;
    options.out = out[1];
    // It complains about limits it may not raise; the test has no use for that.
    options.err = open("/dev/null", O_WRONLY | O_CLOEXEC);
    daemon_ = std::make_unique<korva::testing::ChildProcess>(
        std::vector<std::string>{kDaemon, "--session", "--nofork", "--nopidfile", "--print-address=1"}, options);
    close(options.err);
    close(out[1]);
    // The daemon prints its address once it listens.
    char c;
    std::string line;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    close(out[0]);
    address_ = line;
    if (running())
        setenv(kAddressVariable, address_.c_str(), 1);
}

SessionBus::~SessionBus()
{
    if (daemon_) {
        daemon_->signal(SIGTERM);
        daemon_->wait();
    }
    if (savedAddress_)
        setenv(kAddressVariable, savedAddress_->c_str(), 1);
    else
        unsetenv(kAddressVariable);
}

}  // namespace korva::app::testing

namespace korva::app::testing {

NoSessionBus::NoSessionBus()
{
    if (const char* saved = std::getenv(kAddressVariable))
        savedAddress_ = saved;
    setenv(kAddressVariable, "unix:path=/nonexistent/korva-no-session-bus", 1);
}

NoSessionBus::~NoSessionBus()
{
    if (savedAddress_)
        setenv(kAddressVariable, savedAddress_->c_str(), 1);
    else
        unsetenv(kAddressVariable);
}

}  // namespace korva::app::testing
