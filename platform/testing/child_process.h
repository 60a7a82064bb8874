#pragma once
// The one way a test starts a program beside itself: fork and exec, with
// the environment and standard streams it asks for, and reaping.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace korva::testing {

struct ChildOptions {
    std::vector<std::pair<std::string, std::string>> setEnv;  // added to the current environment
    std::vector<std::string> unsetEnv;                        // removed from it
    // Descriptors that become the child's standard streams; -1 inherits.
    int in = -1;
    int out = -1;
    int err = -1;
    bool ownProcessGroup = false;
    bool dieWithParent = false;  // SIGTERM when the test goes away
};

class ChildProcess {
public:
    // Runs `argv` (argv[0] a path); throws std::runtime_error when fork fails.
    // A program that cannot be started exits with 127.
    explicit ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
    ~ChildProcess();  // SIGKILL when still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    void signal(int number);
    // The exit status (128 + signal when killed), or -1 when it has not
    // ended within `timeout`.
    [[nodiscard]] int waitForExit(std::chrono::milliseconds timeout);
    int wait();  // until it ends
    // SIGTERM, then the exit status; -1 when it did not end within
    // `timeout`, in which case it is killed.
    int stop(std::chrono::milliseconds timeout);

private:
    bool reap(int options);

    pid_t pid_ = -1;
    int status_ = -1;
};

}  // namespace korva::testing
