#include "tools/cups/system_accounts.h"

#include "platform/translation.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace korva::cups {

uid_t uidMinOf(std::string_view loginDefs)
{
    uid_t found = defaultUidMin;
    std::istringstream lines{std::string(loginDefs)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string key, value;
        if (!(words >> key >> value) || key != "UID_MIN")
            continue;
        unsigned long number = 0;
        const auto [end, err] = std::from_chars(value.data(), value.data() + value.size(), number);
        // A value login.defs itself would not take leaves the safe default.
        if (err == std::errc() && end == value.data() + value.size() && number > 0 && number <= 0x7fffffff)
            found = uid_t(number);
    }
    return found;
}

uid_t systemUidMin()
{
    std::ifstream in("/etc/login.defs");
    if (!in)
        return defaultUidMin;
    std::ostringstream text;
    text << in.rdbuf();
    return uidMinOf(text.str());
}

std::string systemAccountRefusal(const JobUser& user, uid_t uidMin)
{
    if (user.uid >= uidMin)
        return {};
    return withArguments(translated("CupsBackend",
                                    "the job's user %1 is root or a system account (user id below %2); KORVA Fax "
                                    "does not print for it"),
                         {user.name, std::to_string(uidMin)});
}

}  // namespace korva::cups
