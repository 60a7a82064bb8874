#include "tools/cups/job_user.h"

#include "platform/paths.h"
#include "platform/translation.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korva::cups {
namespace {

const char* const droppedVariables[] = {"XDG_DATA_HOME",  "XDG_CONFIG_HOME", "XDG_STATE_HOME",
                                        "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"};

Result<void> switchIds(const JobUser& user)
{
    if (initgroups(user.name.c_str(), user.gid) != 0) {
        const int err = errno;
        return Error::withText(withArguments(translated("CupsBackend", "cannot take the groups of %1: %2"),
                                             {user.name, std::strerror(err)}),
                               err);
    }
    if (setgid(user.gid) != 0 || setuid(user.uid) != 0) {
        const int err = errno;
        return Error::withText(
            withArguments(translated("CupsBackend", "cannot switch to user %1: %2"), {user.name, std::strerror(err)}),
            err);
    }
    if (user.uid != 0 && (setuid(0) == 0 || geteuid() == 0))
        return Error::withText(translated("CupsBackend", "root privileges could not be given up"));
    return {};
}

}  // namespace

Result<JobUser> findJobUser(const std::string& name)
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    int err;
    while ((err = getpwnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (err != 0 || !found)
        return Error::withText(
            withArguments(translated("CupsBackend", "user \"%1\" is not known on this system"), {name}), err);
    return JobUser{found->pw_name, found->pw_uid, found->pw_gid, found->pw_dir ? found->pw_dir : ""};
}

Result<void> becomeJobUser(const JobUser& user)
{
    if (geteuid() == 0)
        return switchIds(user);
    if (getuid() == user.uid && geteuid() == user.uid)
        return {};
    return Error::withText(
        withArguments(translated("CupsBackend",
                                 "the backend runs as user id %1 and cannot act for %2; install it with mode 0700 "
                                 "or 0500 so that CUPS runs it as root"),
                      {std::to_string(geteuid()), user.name}));
}

void setJobUserEnvironment(const JobUser& user)
{
    setenv("HOME", user.home.c_str(), 1);
    setenv("USER", user.name.c_str(), 1);
    setenv("LOGNAME", user.name.c_str(), 1);
    for (const char* name : droppedVariables)
        unsetenv(name);
}

Result<std::string> prepareSpoolFolder(const JobUser& user)
{
    if (user.home.empty() || user.home[0] != '/')
        return Error::withText(withArguments(translated("CupsBackend", "%1 has no home folder"), {user.name}));
    std::string folder = dataHome() + "/KORVAFax";
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0) {
        int err = errno;
        if (err == ENOENT)
            err = makeFolders(folder, 0700).code();
        if (err == 0 && lstat(folder.c_str(), &st) != 0)
            err = errno;
        if (err != 0)
            return Error::withText(withArguments(translated("CupsBackend", "cannot create the spool folder %1: %2"),
                                                 {folder, std::strerror(err)}),
                                   err);
    }
    if (std::string problem = spoolFolderProblem(folder, user.uid, user.name); !problem.empty())
        return Error::withText(problem);
    return folder;
}

}  // namespace korva::cups
