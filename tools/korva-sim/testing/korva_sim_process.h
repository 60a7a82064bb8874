#pragma once
// Runs build/bin/korva-sim as a child process for a test: waits for its
// "ready" line and stops it with SIGTERM.

#include "platform/testing/child_process.h"

#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace korva::testing {

class KorvaSimProcess {
public:
    // Throws std::runtime_error when korva-sim does not get ready.
    KorvaSimProcess(const std::string& spool, const std::string& user, const std::string& password,
                    const std::string& faxAddress, const std::vector<std::string>& extraArguments = {});
    ~KorvaSimProcess();
    KorvaSimProcess(const KorvaSimProcess&) = delete;
    KorvaSimProcess& operator=(const KorvaSimProcess&) = delete;

    // The port named in the ready line ("smtp", ...), or 0.
    int port(const std::string& name) const;
    const std::string& readyLine() const { return readyLine_; }
    // The process, for tests that end it abruptly; -1 once stopped.
    pid_t pid() const { return child_ ? child_->pid() : -1; }

    // SIGTERM, then the exit status (128 + signal when killed).
    int stop();

private:
    std::unique_ptr<ChildProcess> child_;
    int output_ = -1;
    std::string readyLine_;
    std::map<std::string, int> ports_;
};

}  // namespace korva::testing
