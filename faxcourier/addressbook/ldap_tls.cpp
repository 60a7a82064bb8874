// TLS for the directory with libldap's own options. Debian's libldap runs on
// GnuTLS, which trusts only what the options name: a CA file replaces the
// system bundle that ldap.conf names. So the system store goes in as the CA
// directory and the extra bundle as the CA file; GnuTLS adds both to one
// trust list.
#include "faxcourier/addressbook/ldap_tls.h"

#include "faxcourier/addressbook/ldap_tls_probe.h"
#include "faxcourier/settings/settings.h"

#include <ldap.h>

#include <unistd.h>

namespace korva {
namespace {

constexpr const char* kSystemCaDir = "/etc/ssl/certs";
constexpr const char* kSystemCaFile = "/etc/ssl/certs/ca-certificates.crt";

bool setOptions(LDAP* ld, const std::string& caFile)
{
    int demand = LDAP_OPT_X_TLS_DEMAND;
    int oldest = LDAP_OPT_X_TLS_PROTOCOL_TLS1_2;
    bool ok = ldap_set_option(ld, LDAP_OPT_X_TLS_REQUIRE_CERT, &demand) == LDAP_OPT_SUCCESS &&
              ldap_set_option(ld, LDAP_OPT_X_TLS_PROTOCOL_MIN, &oldest) == LDAP_OPT_SUCCESS;
    if (caFile.empty()) {
        ok = ok && ldap_set_option(ld, LDAP_OPT_X_TLS_CACERTFILE, kSystemCaFile) == LDAP_OPT_SUCCESS;
    } else {
        ok = ok && ldap_set_option(ld, LDAP_OPT_X_TLS_CACERTDIR, kSystemCaDir) == LDAP_OPT_SUCCESS;
        ok = ok && ldap_set_option(ld, LDAP_OPT_X_TLS_CACERTFILE, caFile.c_str()) == LDAP_OPT_SUCCESS;
    }
    int client = 0;
    return ok && ldap_set_option(ld, LDAP_OPT_X_TLS_NEWCTX, &client) == LDAP_OPT_SUCCESS;
}

// libldap's words for a failure: its diagnostic, else the code's text.
std::string diagnostic(LDAP* ld, int rc)
{
    char* text = nullptr;
    std::string result;
    if (ldap_get_option(ld, LDAP_OPT_DIAGNOSTIC_MESSAGE, &text) == LDAP_OPT_SUCCESS && text && *text)
        result = text;
    ldap_memfree(text);
    if (result.empty() || result == "(unknown error code)") {
        const char* words = ldap_err2string(rc);
        result = words ? words : "";
    }
    return result;
}

// A refused StartTLS: the result's words and the server's own text.
std::string serverReply(LDAP* ld, int rc)
{
    const char* words = ldap_err2string(rc);
    std::string reply = words ? words : "";
    char* text = nullptr;
    if (ldap_get_option(ld, LDAP_OPT_DIAGNOSTIC_MESSAGE, &text) == LDAP_OPT_SUCCESS && text && *text)
        reply += std::string(": ") + text;
    ldap_memfree(text);
    return reply;
}

// libldap's error code once ldap_connect has failed: it returns only -1.
int connectError(LDAP* ld)
{
    int code = LDAP_SERVER_DOWN;
    ldap_get_option(ld, LDAP_OPT_RESULT_CODE, &code);
    return code;
}

}  // namespace

const char* ldapScheme(uint32_t encryption) { return encryption == kEncryptionTls ? "ldaps" : "ldap"; }

std::optional<LdapTlsRefusal> secureLdap(LDAP* ld, uint32_t encryption, const std::string& host, unsigned port,
                                         const std::string& caFile)
{
    if (encryption == kEncryptionNone)
        return std::nullopt;
    if (!setOptions(ld, caFile))
        return LdapTlsRefusal{false, caFile.empty() || access(caFile.c_str(), R_OK) == 0
                                         ? "TLS could not be set up for " + host
                                         : "The CA file " + caFile + " cannot be read"};

    if (ldap_connect(ld) != LDAP_SUCCESS) {
        int rc = connectError(ld);
        // With StartTLS nothing but TCP has happened yet. For ldaps libldap
        // tells a refused handshake from an unreachable server by neither
        // code nor words, so the probe finds out.
        if (encryption == kEncryptionStartTls)
            return LdapTlsRefusal{true, diagnostic(ld, rc)};
        return probeTlsRefusal(encryption, host, port, caFile, diagnostic(ld, rc));
    }
    if (encryption == kEncryptionStartTls) {
        int rc = ldap_start_tls_s(ld, nullptr, nullptr);
        if (rc > 0)
            return LdapTlsRefusal{false, serverReply(ld, rc)};  // the server would not start TLS
        if (rc != LDAP_SUCCESS)
            return probeTlsRefusal(encryption, host, port, caFile, diagnostic(ld, rc));
    }
    // Whatever libldap said, the bind waits for TLS to be in place.
    if (!ldap_tls_inplace(ld))
        return LdapTlsRefusal{false, "TLS with " + host + " failed: the connection is not encrypted."};
    return std::nullopt;
}

}  // namespace korva
