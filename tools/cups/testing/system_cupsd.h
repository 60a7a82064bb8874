#pragma once
// The machine's own scheduler: /usr/sbin/cupsd with /etc/cups and its
// socket in /run/cups, started by a test that finds none running. It knows
// the test users through nss_wrapper and runs the built backend in place of
// an installed one. Whatever it changes is put back when the object goes,
// also when the test fails: the files of /etc/cups byte for byte, the
// installed backend, and no scheduler left running.

#include "platform/testing/child_process.h"
#include "tools/cups/testing/job_user_fixture.h"

#include <map>
#include <memory>
#include <string>

namespace korva::cups::testing {

class SystemCupsd {
public:
    explicit SystemCupsd(const TestUser& user);
    ~SystemCupsd();
    SystemCupsd(const SystemCupsd&) = delete;
    SystemCupsd& operator=(const SystemCupsd&) = delete;

    // Empty when the test can run here, otherwise why not.
    static std::string unavailable();

    // Starts the scheduler and waits until it answers; empty on success.
    std::string start();

    static std::string cupsdConf();
    const std::string& cupsdConfBefore() const { return saved_.at(std::string(confDir) + "/cupsd.conf"); }

    // Waits until the job is no longer pending or printing.
    bool waitForJob(int jobId, int timeoutMs) const;

    static constexpr const char* confDir = "/etc/cups";

private:
    void installBackend();
    void restore();

    const TestUser& user_;
    struct Owner {
        unsigned mode;
        uid_t uid;
        gid_t gid;
    };
    std::map<std::string, std::string> saved_;  // the files of /etc/cups and its ppd folder
    std::map<std::string, Owner> owners_;       // of those files and of the folders, which cupsd adjusts
    std::string backend_, savedBackend_, createdRunDir_, createdRootFolder_;
    std::unique_ptr<korva::testing::ChildProcess> child_;
};

}  // namespace korva::cups::testing
