#pragma once
// Runs build/bin/faxcourier as a child process for a test, as on a machine
// without a desktop: DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are
// removed from its environment. Its standard error goes to a file.

#include "platform/testing/child_process.h"
#include "platform/testing/poll_until.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace korva::app::testing {

using korva::testing::pollUntil;

class CourierProcess {
public:
    // Starts faxcourier (the built one unless `program` names another) with
    // `arguments` in the current environment, less the display variables;
    // its standard error goes to `errorFile`.
    CourierProcess(const std::vector<std::string>& arguments, const std::string& errorFile,
                   const std::string& program = {});

    bool running() { return child_->running(); }
    pid_t pid() const { return child_->pid(); }
    void signal(int number) { child_->signal(number); }
    // The exit status (128 + signal when killed), or -1 when it has not
    // ended within `timeout`.
    int waitForExit(std::chrono::milliseconds timeout) { return child_->waitForExit(timeout); }

private:
    std::unique_ptr<korva::testing::ChildProcess> child_;  // SIGKILL when still running
};

// Polls until `path` holds `text` or `timeout` passes.
bool waitForFileText(const std::string& path, const std::string& text,
                     std::chrono::milliseconds timeout = std::chrono::seconds(30));

// Polls until `path` exists (or, with `exists` false, is gone).
bool waitForFile(const std::string& path, bool exists = true,
                 std::chrono::milliseconds timeout = std::chrono::seconds(30));

}  // namespace korva::app::testing
