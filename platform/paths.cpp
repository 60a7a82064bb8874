#include "platform/paths.h"

#include "platform/translation.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva {

std::string envOr(const char* name, const std::string& fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    struct passwd pw {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &pw, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/";
}

namespace {

// A relative XDG value would be taken against each program's own working
// folder, so the programs would disagree; the base-directory rules say to
// ignore it.
std::string xdgFolder(const char* name, const std::string& fallback)
{
    std::string value = envOr(name, fallback);
    return value[0] == '/' ? value : fallback;
}

}  // namespace

std::string dataHome() { return xdgFolder("XDG_DATA_HOME", homeFolder() + "/.local/share"); }
std::string configHome() { return xdgFolder("XDG_CONFIG_HOME", homeFolder() + "/.config"); }
std::string stateHome() { return xdgFolder("XDG_STATE_HOME", homeFolder() + "/.local/state"); }
std::string sysconfDir() { return envOr("KORVAFAX_SYSCONFDIR", "/etc/korvafax"); }

Result<void> makeFolders(const std::string& path, unsigned mode)
{
    if (path.empty())
        return Error::fromErrno(ENOENT, "Cannot make a folder without a name");
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        return resultOfErrno(S_ISDIR(st.st_mode) ? 0 : ENOTDIR, "Cannot make the folder " + path);
    auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        // Parents get the usual 0755-style mode; only the leaf is private.
        if (Result<void> parent = makeFolders(path.substr(0, slash), 0755); !parent)
            return parent;
    }
    if (mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
        return Error::fromLastErrno("Cannot make the folder " + path);
    return {};
}

Result<std::string> spoolFolder()
{
    std::string folder = dataHome() + "/KORVAFax";
    if (Result<void> made = makeFolders(folder, 0700); !made)
        return Error::fromErrno(made.code(), "Cannot make the spool folder " + folder);
    return folder;
}

namespace {

// In English for the logs, or in the user's language for a box.
std::string folderProblem(const std::string& folder, uid_t owner, const std::string& ownerName, bool shown)
{
    auto text = [shown](const char* english) { return shown ? translated("SpoolFolder", english) : english; };
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0)
        return withArguments(
            text(QT_TRANSLATE_NOOP("SpoolFolder",
                                   "The spool folder %1 cannot be examined (%2); KORVA Fax will not use it.")),
            {folder, std::strerror(errno)});
    // A link could be turned to another user's folder behind our back.
    if (!S_ISDIR(st.st_mode))
        return withArguments(
            text(QT_TRANSLATE_NOOP("SpoolFolder", "The spool folder %1 is not a folder; KORVA Fax will not use it.")),
            {folder});
    if (st.st_uid != owner && shown)
        return withArguments(text(QT_TRANSLATE_NOOP("SpoolFolder",
                                                    "The spool folder %1 is not owned by you; KORVA "
                                                    "Fax will not use it.")),
                             {folder});
    if (st.st_uid != owner)
        return withArguments(text(QT_TRANSLATE_NOOP("SpoolFolder",
                                                    "The spool folder %1 is not owned by %2; KORVA "
                                                    "Fax will not use it.")),
                             {folder, ownerName});
    if (st.st_mode & (S_IWGRP | S_IWOTH)) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", unsigned(st.st_mode & 07777));
        return withArguments(text(QT_TRANSLATE_NOOP("SpoolFolder",
                                                    "The spool folder %1 is writable by other users "
                                                    "(mode %2); KORVA Fax will not use it.")),
                             {folder, mode});
    }
    return {};
}

}  // namespace

std::string spoolFolderProblem(const std::string& folder, uid_t owner, const std::string& ownerName)
{
    return folderProblem(folder, owner, ownerName, false);
}

std::string shownSpoolFolderProblem(const std::string& folder) { return folderProblem(folder, geteuid(), "you", true); }

std::string spoolFolderProblem(const std::string& folder) { return spoolFolderProblem(folder, geteuid(), "you"); }

}  // namespace korva
