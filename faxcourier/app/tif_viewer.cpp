#include "faxcourier/app/tif_viewer.h"

#include "platform/registry_store.h"

#include <cstdio>
#include <strings.h>

namespace korva::app {
namespace {

// The default value of a key below HKEY_CLASSES_ROOT, "" when missing.
std::string defaultValue(const char* path)
{
    RegistryKey key;
    if (key.open(RegistryHive::ClassesRoot, path) != kRegOk)
        return {};
    return key.readString(nullptr).value_or(std::string());
}

std::string tifFileType() { return defaultValue(".tif"); }

}  // namespace

TifViewer FindTifViewer()
{
    TifViewer viewer;
    std::string type = tifFileType();
    if (type.empty())
        return viewer;
    viewer.registryKnowsTif = true;

    char path[1000];
    std::snprintf(path, sizeof path, "%s\\shell\\open\\command", type.c_str());
    if (!defaultValue(path).empty())
        viewer.tifOpenAvailable = true;

    std::snprintf(path, sizeof path, "%s\\shell", type.c_str());
    RegistryKey shell;
    if (shell.open(RegistryHive::ClassesRoot, path) != kRegOk)
        return viewer;
    std::string verb;
    for (uint32_t index = 0; index < 1000 && shell.enumSubKey(index, verb) == kRegOk; ++index) {
        if (verb.size() > 999)
            verb.resize(999);
        if (strncasecmp(verb.c_str(), "edit", 4) != 0)
            continue;
        std::snprintf(path, sizeof path, "%s\\shell\\%s\\command", type.c_str(), verb.c_str());
        if (defaultValue(path).empty())
            continue;
        viewer.tifEditVerb = verb.c_str();
        if (strcasecmp(verb.c_str(), "edit") == 0)
            break;
    }
    return viewer;
}

std::optional<std::string> tifVerbCommand(const std::string& verb)
{
    std::string type = tifFileType();
    if (type.empty() || verb.empty())
        return std::nullopt;
    char path[1000];
    std::snprintf(path, sizeof path, "%s\\shell\\%s\\command", type.c_str(), verb.c_str());
    std::string command = defaultValue(path);
    if (command.empty())
        return std::nullopt;
    return command;
}

}  // namespace korva::app
