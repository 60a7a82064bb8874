#pragma once
// A program that runs beside a test (such as faxcourier in the user's
// session) until the test stops it.

#include "tools/cups/testing/job_user_fixture.h"

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace korva::cups::testing {

class BackgroundProcess {
public:
    // Starts `argv` with the current environment less `unset`, plus `env`;
    // standard output and error go to `outputFile`.
    BackgroundProcess(const std::vector<std::string>& argv, const EnvList& env, const std::vector<std::string>& unset,
                      const std::string& outputFile);
    ~BackgroundProcess();  // SIGKILL when still running
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool running();
    // SIGTERM, then the exit status (128 + signal when killed), or -1 when
    // it did not end within `timeout` (it is then killed).
    int stop(std::chrono::milliseconds timeout);

private:
    bool reap(int options);

    pid_t pid_ = -1;
    int status_ = -1;
};

// Polls `condition` until it holds or `timeout` passes; the final result.
bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

}  // namespace korva::cups::testing
