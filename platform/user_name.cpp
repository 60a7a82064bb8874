#include "platform/user_name.h"

#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace korva {

std::string currentUserName()
{
    struct passwd pw {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(geteuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    return std::to_string(geteuid());
}

}  // namespace korva
