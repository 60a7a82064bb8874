#pragma once
// Securing a fresh libldap handle before anything else is sent: StartTLS on
// the plain port or TLS from the first byte, the certificate checked
// against the system's CA store (plus an extra bundle) and the host name.

#include <optional>
#include <string>

typedef struct ldap LDAP;

namespace korva {

enum class LdapTransport { Plain, StartTls, Tls };

struct LdapTlsRefusal {
    bool beforeTls = false;  // the server could not be reached at all
    std::string detail;      // the box's last line
};

// "ldap" or "ldaps".
const char* ldapScheme(LdapTransport transport);

// Sets the handle's TLS options and connects; for StartTls the upgrade is
// asked for and completed. Nothing is sent when the result holds a refusal.
[[nodiscard]] std::optional<LdapTlsRefusal> secureLdap(LDAP* ld, LdapTransport transport, const std::string& host,
                                                       const std::string& caFile);

}  // namespace korva
