#pragma once
// Runs build/bin/faxcourier as a child process for a test, as on a machine
// without a desktop: DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are
// removed from its environment. Its standard error goes to a file.

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace korva::app::testing {

class CourierProcess {
public:
    // Starts faxcourier (the built one unless `program` names another) with
    // `arguments` in the current environment, less the display variables;
    // its standard error goes to `errorFile`.
    CourierProcess(const std::vector<std::string>& arguments, const std::string& errorFile,
                   const std::string& program = {});
    ~CourierProcess();  // SIGKILL when still running
    CourierProcess(const CourierProcess&) = delete;
    CourierProcess& operator=(const CourierProcess&) = delete;

    bool running();
    void signal(int number);
    // The exit status (128 + signal when killed), or -1 when it has not
    // ended within `timeout`.
    int waitForExit(std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    int status_ = -1;
};

// Polls until `condition` holds or `timeout` passes; the final result.
bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(30));

// Polls until `path` holds `text` or `timeout` passes.
bool waitForFileText(const std::string& path, const std::string& text,
                     std::chrono::milliseconds timeout = std::chrono::seconds(30));

// Polls until `path` exists (or, with `exists` false, is gone).
bool waitForFile(const std::string& path, bool exists = true,
                 std::chrono::milliseconds timeout = std::chrono::seconds(30));

}  // namespace korva::app::testing
