#pragma once
// A cupsd of the test's own, as CUPS' test harness runs one: listening on a
// loopback port only, with its configuration, spool, logs and ServerBin in
// a temporary folder. ServerBin holds links to the machine's filters and
// backends plus a script that starts the built korvafax backend with the
// test user known through nss_wrapper.

#include "platform/testing/child_process.h"
#include "tools/cups/testing/job_user_fixture.h"

#include <memory>

#include <string>
#include <sys/types.h>

namespace korva::cups::testing {

// A backend "korvafax" for a scheduler's ServerBin: runs the built backend
// with the user known through nss_wrapper and `extra` in its environment.
std::string backendScript(const TestUser& user, const EnvList& extra);

class PrivateCupsd {
public:
    // Prepares the folders under `user.root()`; runs nothing yet.
    explicit PrivateCupsd(const TestUser& user);
    ~PrivateCupsd();  // stops the scheduler and everything it started
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    // Empty when the programs are there, otherwise what is missing.
    static std::string unavailable();

    // Starts the scheduler and waits until it answers. Empty on success,
    // otherwise why it did not start.
    std::string start();
    void stop();

    std::string server() const { return "127.0.0.1:" + std::to_string(port_); }
    const std::string& serverBin() const { return serverBin_; }
    const std::string& sysconf() const { return sysconf_; }
    EnvList clientEnv() const;  // CUPS_SERVER and the user's nss files
    std::string errorLog() const;

    // The job's state (IPP job-state: 9 completed, 7 canceled, 8 aborted) and
    // its state message; 0 when the job cannot be asked for.
    int jobState(int jobId, std::string* message = nullptr) const;
    // The last state message the job's filters and backend gave, as the
    // scheduler logs it; CUPS clears job-printer-state-message once a job
    // completes, so the log is where it stays.
    std::string lastJobMessage(int jobId) const;
    // The queue's IPP printer-type bits (CUPS_PRINTER_FAX among them); -1
    // when it cannot be asked for.
    int printerType(const std::string& queue) const;
    // Waits until the job is done (completed, canceled or aborted); its state.
    int waitForJob(int jobId, int timeoutMs) const;

private:
    void writeConfig();
    void linkServerBin();

    const TestUser& user_;
    std::string root_, conf_, serverBin_, spool_, logs_, sysconf_;
    int port_ = 0;
    std::unique_ptr<korva::testing::ChildProcess> child_;
};

}  // namespace korva::cups::testing
