#pragma once
// Why libldap refused a TLS connection. libldap (on GnuTLS, as Debian
// builds it) reports every refused certificate as "(unknown error code)",
// so after it gave up a second handshake is made with the program's own
// TLS layer, which names the fault the way SMTP and the directory commands
// do. That handshake carries nothing but the StartTLS request.

#include "faxcourier/addressbook/ldap_tls.h"

#include <string>

namespace korva {

// For a libldap TLS failure on `host`:`port` (ldaps, or StartTLS on the
// plain port); `libldapWords` is what libldap said, used when the second
// handshake finds nothing more.
[[nodiscard]] LdapTlsRefusal probeTlsRefusal(uint32_t encryption, const std::string& host, unsigned port,
                                             const std::string& caFile, const std::string& libldapWords);

// The StartTLS extended request as sent on the wire (message id 1).
std::string startTlsRequest();

// The result code of an LDAP extended response, or -1 when the bytes are
// not one.
[[nodiscard]] int extendedResultCode(const std::string& message);

}  // namespace korva
