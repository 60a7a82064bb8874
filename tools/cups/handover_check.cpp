#include "tools/cups/handover_check.h"

#include "platform/spool_names.h"

#include <dirent.h>

namespace korva::cups {

std::set<std::string> printFilesIn(const std::string& spool)
{
    std::set<std::string> names;
    DIR* dir = opendir(spool.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (isJobFileName(name))
            names.insert(name);
    }
    closedir(dir);
    return names;
}

std::optional<std::string> printFileLeftBehind(const std::set<std::string>& before, const std::string& spool)
{
    for (const std::string& name : printFilesIn(spool))
        if (!before.count(name))
            return name;
    return std::nullopt;
}

}  // namespace korva::cups
