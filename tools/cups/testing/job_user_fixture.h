#pragma once
// The user a test prints as. The user exists only for processes that load
// nss_wrapper with this object's passwd and group files, so no account is
// ever added to the machine. Run as root, it is a user of its own with a
// free user id; otherwise it is the current user under another home.

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace korva::cups::testing {

using EnvList = std::vector<std::pair<std::string, std::string>>;

class TestUser {
public:
    TestUser();
    ~TestUser();
    TestUser(const TestUser&) = delete;
    TestUser& operator=(const TestUser&) = delete;

    // Empty when nss_wrapper is there, otherwise why the user cannot exist.
    static std::string unavailable();

    const std::string& name() const { return name_; }
    uid_t uid() const { return uid_; }
    gid_t gid() const { return gid_; }
    bool separate() const { return separate_; }        // a user other than the one running the test
    const std::string& root() const { return root_; }  // temporary folder holding everything
    const std::string& home() const { return home_; }
    std::string spool() const { return home_ + "/.local/share/KORVAFax"; }

    // What a process needs in its environment to know the user.
    EnvList nssEnv() const;
    // nssEnv() plus HOME and the XDG folders of a session of the user's.
    EnvList sessionEnv() const;
    // `argv` run as the user (through setpriv when the user is separate).
    std::vector<std::string> runAs(std::vector<std::string> argv) const;
    // Hands `path` and everything below it to the user.
    void giveToUser(const std::string& path) const;

    // Another account known to the same processes, ahead of the machine's
    // own (so "root" may get a home of the test's); its home, under root().
    std::string addUser(const std::string& name, uid_t uid);

    // A folder under root() with `uid` as owner.
    std::string makeFolder(const std::string& name, uid_t owner, unsigned mode) const;

private:
    std::string name_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    bool separate_ = false;
    std::string root_, home_, passwd_, group_;
};

}  // namespace korva::cups::testing
