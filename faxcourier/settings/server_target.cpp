#include "faxcourier/settings/server_target.h"

#include "faxcourier/foundation/server_error.h"
#include "platform/translation.h"

#include <cstdio>
#include <cstring>

namespace korva {
namespace {

// The English text goes to the log and the outbox, the user's to the box.
SettingRefusal refusal(const char* setting, const char* why, const std::string& value)
{
    return SettingRefusal{setting, withArguments(why, {value}),
                          withArguments(translated("ServerTarget", why), {value})};
}

}  // namespace

bool isOneHost(const char* server)
{
    if (server == nullptr || *server == '\0')
        return false;
    for (const char* c = server; *c != '\0'; ++c) {
        bool letterOrDigit = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9');
        if (!letterOrDigit && std::strchr("-._", *c) == nullptr)
            return false;
    }
    return true;
}

CheckedTarget serverTarget(const char* server, uint32_t encryption)
{
    if (server == nullptr || *server == '\0')
        return refusal("Server", QT_TRANSLATE_NOOP("ServerTarget", "Server is empty; it must name the mail server"),
                       "");
    if (!isOneHost(server)) {
        return refusal("Server",
                       QT_TRANSLATE_NOOP("ServerTarget",
                                         "Server is \"%1\"; it must be one host name or address, "
                                         "without blanks, commas, slashes or a scheme"),
                       std::string(server).substr(0, 100));
    }
    if (!isKnownEncryption(encryption)) {
        return refusal("Encryption",
                       QT_TRANSLATE_NOOP("ServerTarget",
                                         "Encryption is %1; it must be 0 (none), 1 (STARTTLS) or 2 "
                                         "(TLS)"),
                       std::to_string(encryption));
    }
    return ServerTarget{server, encryption};
}

CheckedTarget serverTarget(const Settings& settings)
{
    return serverTarget(settings.Server.Text(), settings.Encryption);
}

void reportSettingRefusal(void* owner, const SettingRefusal& refusal)
{
    ShowServerError(owner, QT_TRANSLATE_NOOP("ServerError", "Error in the KORVA Fax settings"), refusal.setting.c_str(),
                    String(refusal.why.c_str()), refusal.shownWhy);
}

}  // namespace korva
