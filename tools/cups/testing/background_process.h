#pragma once
// A program that runs beside a test (such as faxcourier in the user's
// session) until the test stops it.

#include "platform/testing/child_process.h"
#include "platform/testing/poll_until.h"
#include "tools/cups/testing/job_user_fixture.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace korva::cups::testing {

using korva::testing::pollUntil;

class BackgroundProcess {
public:
    // Starts `argv` with the current environment less `unset`, plus `env`;
    // standard output and error go to `outputFile`.
    BackgroundProcess(const std::vector<std::string>& argv, const EnvList& env, const std::vector<std::string>& unset,
                      const std::string& outputFile);

    bool running() { return child_->running(); }
    // SIGTERM, then the exit status (128 + signal when killed), or -1 when
    // it did not end within `timeout` (it is then killed).
    int stop(std::chrono::milliseconds timeout) { return child_->stop(timeout); }

private:
    std::unique_ptr<korva::testing::ChildProcess> child_;  // SIGKILL when still running
};

}  // namespace korva::cups::testing
