#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>
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

std::string dataHome() { return envOr("XDG_DATA_HOME", homeFolder() + "/.local/share"); }
std::string configHome() { return envOr("XDG_CONFIG_HOME", homeFolder() + "/.config"); }
std::string stateHome() { return envOr("XDG_STATE_HOME", homeFolder() + "/.local/state"); }
std::string sysconfDir() { return envOr("KORVAFAX_SYSCONFDIR", "/etc/korvafax"); }

int makeFolders(const std::string& path, unsigned mode)
{
    if (path.empty())
        return ENOENT;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        // Parents get the usual 0755-style mode; only the leaf is private.
        if (int err = makeFolders(path.substr(0, slash), 0755))
            return err;
    }
    if (mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

std::optional<std::string> spoolFolder()
{
    std::string folder = dataHome() + "/KORVAFax";
    if (makeFolders(folder, 0700) != 0)
        return std::nullopt;
    return folder;
}

}  // namespace korva
