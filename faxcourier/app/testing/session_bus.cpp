#include "faxcourier/app/testing/session_bus.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
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
    if (pipe(out) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], 1);
        // It complains about limits it may not raise; the test has no use for that.
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        close(out[0]);
        close(out[1]);
        execl(kDaemon, kDaemon, "--session", "--nofork", "--nopidfile", "--print-address=1", nullptr);
        _exit(127);
    }
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
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
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
