#include "tools/cups/testing/job_user_fixture.h"

#include "platform/testing/test_support.h"

#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace korva::cups::testing {
namespace {

#ifdef KORVAFAX_NSS_WRAPPER
const char* const nssWrapper = KORVAFAX_NSS_WRAPPER;
#else
const char* const nssWrapper = "";
#endif

uid_t freeUid()
{
    uid_t uid = 54321;
    while (getpwuid(uid) || getgrgid(gid_t(uid)))
        ++uid;
    return uid;
}

std::string currentUserName()
{
    if (struct passwd* pw = getpwuid(getuid()))
        return pw->pw_name;
    return "korvafaxtest";
}

}  // namespace

std::string TestUser::unavailable()
{
    if (!*nssWrapper || !std::filesystem::exists(nssWrapper))
        return "nss_wrapper (Debian package libnss-wrapper) is not installed";
    return {};
}

TestUser::TestUser()
{
    char pattern[] = "/tmp/korvafax-cups-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    // The job user must be able to reach its home below this folder.
    chmod(root_.c_str(), 0755);
    separate_ = geteuid() == 0;
    uid_ = separate_ ? freeUid() : getuid();
    gid_ = separate_ ? gid_t(uid_) : getgid();
    name_ = separate_ ? "korvafaxtest" : currentUserName();
    home_ = makeFolder("home", uid_, 0700);

    passwd_ = root_ + "/passwd";
    group_ = root_ + "/group";
    std::string self = name_ + ":x:" + std::to_string(uid_) + ":" + std::to_string(gid_) +
                       ":KORVA Fax test user:" + home_ + ":/bin/sh\n";
    std::string selfGroup = name_ + ":x:" + std::to_string(gid_) + ":\n";
    // The test user's lines come first, so they win over the machine's.
    korva::testing::writeWholeFile(passwd_, self + korva::testing::readWholeFile("/etc/passwd"));
    korva::testing::writeWholeFile(group_, selfGroup + korva::testing::readWholeFile("/etc/group"));
    chmod(passwd_.c_str(), 0644);
    chmod(group_.c_str(), 0644);
}

TestUser::~TestUser()
{
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

std::string TestUser::addUser(const std::string& name, uid_t uid)
{
    const std::string home = makeFolder(name, uid, 0700);
    const std::string id = std::to_string(uid);
    korva::testing::writeWholeFile(
        passwd_, name + ":x:" + id + ":" + id + "::" + home + ":/bin/sh\n" + korva::testing::readWholeFile(passwd_));
    korva::testing::writeWholeFile(group_, name + ":x:" + id + ":\n" + korva::testing::readWholeFile(group_));
    return home;
}

EnvList TestUser::nssEnv() const
{
    return {{"LD_PRELOAD", nssWrapper}, {"NSS_WRAPPER_PASSWD", passwd_}, {"NSS_WRAPPER_GROUP", group_}};
}

EnvList TestUser::sessionEnv() const
{
    EnvList env = nssEnv();
    env.insert(env.end(), {{"HOME", home_},
                           {"XDG_DATA_HOME", home_ + "/.local/share"},
                           {"XDG_CONFIG_HOME", home_ + "/.config"},
                           {"XDG_STATE_HOME", home_ + "/.local/state"}});
    return env;
}

std::vector<std::string> TestUser::runAs(std::vector<std::string> argv) const
{
    if (separate_)
        argv.insert(argv.begin(), {"/usr/bin/setpriv", "--reuid=" + std::to_string(uid_),
                                   "--regid=" + std::to_string(gid_), "--clear-groups"});
    return argv;
}

void TestUser::giveToUser(const std::string& path) const
{
    if (!separate_)
        return;
    if (lchown(path.c_str(), uid_, gid_) != 0)
        throw std::runtime_error("chown failed for " + path);
    if (std::filesystem::is_directory(std::filesystem::symlink_status(path)))
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
            if (lchown(entry.path().c_str(), uid_, gid_) != 0)
                throw std::runtime_error("chown failed for " + entry.path().string());
}

std::string TestUser::makeFolder(const std::string& name, uid_t owner, unsigned mode) const
{
    std::string path = root_ + "/" + name;
    std::filesystem::create_directories(path);
    if (chown(path.c_str(), owner, owner == uid_ ? gid_ : gid_t(owner)) != 0 && geteuid() == 0)
        throw std::runtime_error("chown failed for " + path);
    chmod(path.c_str(), mode);
    return path;
}

}  // namespace korva::cups::testing
