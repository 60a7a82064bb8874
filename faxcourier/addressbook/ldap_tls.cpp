// TLS for the directory with libldap's own options. Debian's libldap runs on
// GnuTLS, which trusts only what the options name: a CA file replaces the
// system bundle that ldap.conf names. So the system store goes in as the CA
// directory and the extra bundle as the CA file; GnuTLS adds both to one
// trust list.
#include "faxcourier/addressbook/ldap_tls.h"

#include "faxcourier/net/certificate_problem.h"

#include <gnutls/gnutls.h>
#include <ldap.h>

#include <cstring>
#include <unistd.h>

namespace korva {
namespace {

constexpr const char* kSystemCaDir = "/etc/ssl/certs";
constexpr const char* kSystemCaFile = "/etc/ssl/certs/ca-certificates.crt";

// What the handshake on this thread saw; libldap only says that it failed.
struct Verdict {
    bool reached = false;  // the TCP connection stood and TLS began
    unsigned status = 0;   // GnuTLS verification bits
    std::string host;
};
thread_local Verdict* verdict = nullptr;

int recordVerification(gnutls_session_t session)
{
    if (verdict) {
        unsigned status = 0;
        if (gnutls_certificate_verify_peers3(session, verdict->host.c_str(), &status) >= 0)
            verdict->status = status;
    }
    return 0;  // libldap's own check decides
}

// libldap hands over its session object; with GnuTLS its first member is
// the gnutls session (OpenSSL builds pass an SSL*, left alone).
void onTlsConnect(LDAP*, void* session, void*, void*)
{
    if (!verdict)
        return;
    verdict->reached = true;
    if (session)
        gnutls_session_set_verify_function(*static_cast<gnutls_session_t*>(session), recordVerification);
}

bool onGnuTls()
{
    char* package = nullptr;
    if (ldap_get_option(nullptr, LDAP_OPT_X_TLS_PACKAGE, &package) != LDAP_OPT_SUCCESS || !package)
        return false;
    bool gnutls = std::strcmp(package, "GnuTLS") == 0;
    ldap_memfree(package);
    return gnutls;
}

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
    if (onGnuTls())
        ok = ok &&
             ldap_set_option(ld, LDAP_OPT_X_TLS_CONNECT_CB, reinterpret_cast<void*>(onTlsConnect)) == LDAP_OPT_SUCCESS;
    int client = 0;
    return ok && ldap_set_option(ld, LDAP_OPT_X_TLS_NEWCTX, &client) == LDAP_OPT_SUCCESS;
}

CertificateProblem problemOf(unsigned status)
{
    if (status & (GNUTLS_CERT_SIGNER_NOT_FOUND | GNUTLS_CERT_SIGNER_NOT_CA))
        return CertificateProblem::NotTrusted;
    if (status & GNUTLS_CERT_EXPIRED)
        return CertificateProblem::Expired;
    if (status & GNUTLS_CERT_NOT_ACTIVATED)
        return CertificateProblem::NotYetValid;
    if (status & GNUTLS_CERT_UNEXPECTED_OWNER)
        return CertificateProblem::OtherName;
    return CertificateProblem::NotTrusted;  // revoked, weak signature, ...
}

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

// libldap's words for a certificate it refused, for builds where the
// handshake could not be watched.
CertificateProblem problemFromText(const std::string& text)
{
    if (text.find("hostname does not match") != std::string::npos)
        return CertificateProblem::OtherName;
    if (text.find("expired") != std::string::npos)
        return CertificateProblem::Expired;
    if (text.find("verif") != std::string::npos || text.find("untrusted") != std::string::npos)
        return CertificateProblem::NotTrusted;
    return CertificateProblem::Other;
}

}  // namespace

const char* ldapScheme(LdapTransport transport) { return transport == LdapTransport::Tls ? "ldaps" : "ldap"; }

std::optional<LdapTlsRefusal> secureLdap(LDAP* ld, LdapTransport transport, const std::string& host,
                                         const std::string& caFile)
{
    if (transport == LdapTransport::Plain)
        return std::nullopt;
    if (!setOptions(ld, caFile))
        return LdapTlsRefusal{false, caFile.empty() || access(caFile.c_str(), R_OK) == 0
                                         ? "TLS could not be set up for " + host
                                         : "The CA file " + caFile + " cannot be read"};

    Verdict seen{false, 0, host};
    verdict = &seen;
    int rc = ldap_connect(ld);
    bool connected = rc == LDAP_SUCCESS || seen.reached;
    if (rc == LDAP_SUCCESS && transport == LdapTransport::StartTls)
        rc = ldap_start_tls_s(ld, nullptr, nullptr);
    verdict = nullptr;
    if (rc == LDAP_SUCCESS)
        return std::nullopt;

    std::string words = diagnostic(ld, rc);
    if (!connected)
        return LdapTlsRefusal{true, words};
    if (!seen.reached)
        return LdapTlsRefusal{false, serverReply(ld, rc)};  // the server would not start TLS
    CertificateProblem problem = seen.status ? problemOf(seen.status) : problemFromText(words);
    if (problem == CertificateProblem::Other && !seen.status)
        return LdapTlsRefusal{false, "TLS with " + host + " failed: " + words + "."};
    return LdapTlsRefusal{false, certificateRefusal(host, problem, words)};
}

}  // namespace korva
