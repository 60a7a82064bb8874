#include "faxcourier/settings/server_target.h"

#include "faxcourier/foundation/server_error.h"

#include <cstdio>
#include <cstring>

namespace korva {

std::optional<EncryptionMode> encryptionMode(uint32_t stored)
{
    switch (stored) {
        case kEncryptionNone:
            return EncryptionMode::None;
        case kEncryptionStartTls:
            return EncryptionMode::StartTls;
        case kEncryptionTls:
            return EncryptionMode::Tls;
        default:
            return std::nullopt;
    }
}

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
        return SettingRefusal{"Server", "Server is empty; it must name the mail server"};
    if (!isOneHost(server)) {
        char why[300];
        std::snprintf(why, sizeof why,
                      "Server is \"%.100s\"; it must be one host name or address, without blanks, commas, slashes "
                      "or a scheme",
                      server);
        return SettingRefusal{"Server", why};
    }
    std::optional<EncryptionMode> mode = encryptionMode(encryption);
    if (!mode) {
        char why[200];
        std::snprintf(why, sizeof why, "Encryption is %u; it must be 0 (none), 1 (STARTTLS) or 2 (TLS)",
                      unsigned(encryption));
        return SettingRefusal{"Encryption", why};
    }
    return ServerTarget{server, *mode};
}

CheckedTarget serverTarget(const Settings& settings)
{
    return serverTarget(settings.Server.Text(), settings.Encryption);
}

void reportSettingRefusal(void* owner, const SettingRefusal& refusal)
{
    ShowServerError(owner, "Error in the KORVA Fax settings", refusal.setting.c_str(), String(refusal.why.c_str()));
}

}  // namespace korva
