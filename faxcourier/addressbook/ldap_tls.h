#pragma once
// Securing a fresh libldap handle before anything else is sent: StartTLS on
// the plain port or TLS from the first byte, the certificate checked
// against the system's CA store (plus an extra bundle) and the host name.

#include <cstdint>
#include <optional>
#include <string>

typedef struct ldap LDAP;

namespace korva {

struct LdapTlsRefusal {
    bool beforeTls = false;  // the server could not be reached at all
    std::string detail;      // the box's last line
};

// "ldap" or "ldaps".
const char* ldapScheme(uint32_t encryption);

// Sets the handle's TLS options and connects to `host`:`port`; for
// kEncryptionStartTls the upgrade is asked for and completed. No result
// means TLS is in place; after a refusal nothing more may be sent on the
// handle. `encryption` is a known Encryption value (settings.h).
[[nodiscard]] std::optional<LdapTlsRefusal> secureLdap(LDAP* ld, uint32_t encryption, const std::string& host,
                                                       unsigned port, const std::string& caFile);

}  // namespace korva
