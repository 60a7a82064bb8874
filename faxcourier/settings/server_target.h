#pragma once
// What every server conversation (SMTP, the directory commands, LDAP) takes
// from the settings before it connects: the one host named by Server and
// the protection Encryption asks for. Any other value is refused before a
// byte is sent, so a hand-edited setting can never become a list of servers
// or a logon in the clear.

#include "faxcourier/settings/settings.h"

#include <cstdint>
#include <string>
#include <variant>

namespace korva {

// True for one host name or dotted address: letters, digits, '-', '.' and
// '_' only, so no blank, comma, slash, colon or scheme.
[[nodiscard]] bool isOneHost(const char* server);

struct ServerTarget {
    std::string host;
    uint32_t encryption = kEncryptionNone;  // always isKnownEncryption
};

// A setting that stops a conversation before it starts.
struct SettingRefusal {
    std::string setting;   // the value's name: "Server" or "Encryption"
    std::string why;       // one line, in English for the log and the outbox
    std::string shownWhy;  // the same in the user's language, for the box
};

using CheckedTarget = std::variant<ServerTarget, SettingRefusal>;

[[nodiscard]] CheckedTarget serverTarget(const char* server, uint32_t encryption);
[[nodiscard]] CheckedTarget serverTarget(const Settings& settings);

// The box: "Error in the KORVA Fax settings", the setting, why.
void reportSettingRefusal(void* owner, const SettingRefusal& refusal);

}  // namespace korva
