#pragma once
// The ports mail programs give each kind of encryption. A port that still
// holds one of them follows the Encryption choice; one typed otherwise is
// the user's and stays.

#include "faxcourier/settings/settings.h"

#include <cstdint>

namespace korva {

enum class ServerPort { Smtp, Directory, Ldap };

// SMTP 25/587/465, directory 110/110/995, LDAP 389/389/636. An unknown
// encryption counts as none.
[[nodiscard]] uint32_t defaultPort(ServerPort port, uint32_t encryption);

[[nodiscard]] bool isDefaultPort(ServerPort port, uint32_t number);

// `number` when the user chose it, else the default for `encryption`.
[[nodiscard]] uint32_t portFollowingEncryption(ServerPort port, uint32_t number, uint32_t encryption);

// Moves the three ports of `settings` that still hold a default to the
// defaults of its Encryption.
void portsFollowEncryption(Settings& settings);

}  // namespace korva
