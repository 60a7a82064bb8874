#include "faxcourier/net/tls_channel.h"

#include "faxcourier/foundation/log.h"

#include <cerrno>
#include <climits>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace korva {
namespace {

CertificateProblem problemOf(long verifyResult)
{
    switch (verifyResult) {
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return CertificateProblem::Expired;
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return CertificateProblem::NotYetValid;
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_CERT_UNTRUSTED:
        case X509_V_ERR_CERT_REJECTED:
            return CertificateProblem::NotTrusted;
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return CertificateProblem::OtherName;
        default:
            return CertificateProblem::Other;
    }
}

// The oldest queued error in the TLS library's words; the queue is emptied.
std::string takeErrorText()
{
    unsigned long first = ERR_get_error();
    ERR_clear_error();
    if (first == 0)
        return "TLS failure";
    char text[256];
    ERR_error_string_n(first, text, sizeof text);
    return text;
}

// An unreadable extra bundle is logged and left out: the certificate is then
// refused as not trusted, which tells the user more than a missing file.
SSL_CTX* makeContext(const std::string& caFile)
{
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    if (context == nullptr)
        return nullptr;
    if (SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) != 1 || SSL_CTX_set_default_verify_paths(context) != 1) {
        SSL_CTX_free(context);
        return nullptr;
    }
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    if (!caFile.empty() && SSL_CTX_load_verify_locations(context, caFile.c_str(), nullptr) != 1)
        LogAlways(0, "The CA file %.200s cannot be read: %.200s\n", caFile.c_str(), takeErrorText().c_str());
    // Sends go out in whatever pieces the socket takes, as they do without TLS.
    SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // A server that just closes reads as closed, as a plain connection does.
    SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
    return context;
}

}  // namespace

TlsChannel::TlsChannel(int fd, const std::string& host, bool hostIsAddress, const std::string& caFile)
{
    if (!SetUp(fd, host, hostIsAddress, caFile)) {
        SSL_free(session_);
        session_ = nullptr;
    }
}

// Every step is checked: a name check that was silently not set would let
// any trusted certificate pass for the server.
bool TlsChannel::SetUp(int fd, const std::string& host, bool hostIsAddress, const std::string& caFile)
{
    if (host.empty())
        return SetUpFailed("no server name to check the certificate against");
    context_ = makeContext(caFile);
    if (context_ == nullptr)
        return SetUpFailed("the TLS context cannot be made");
    session_ = SSL_new(context_);
    if (session_ == nullptr || SSL_set_fd(session_, fd) != 1)
        return SetUpFailed("the TLS session cannot be made");
    X509_VERIFY_PARAM* check = SSL_get0_param(session_);
    if (hostIsAddress)
        return X509_VERIFY_PARAM_set1_ip_asc(check, host.c_str()) == 1 ||
               SetUpFailed("the certificate cannot be checked against this address");
    X509_VERIFY_PARAM_set_hostflags(check, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (X509_VERIFY_PARAM_set1_host(check, host.c_str(), host.size()) != 1)
        return SetUpFailed("the certificate cannot be checked against this name");
    if (SSL_set_tlsext_host_name(session_, host.c_str()) != 1)
        return SetUpFailed("this name cannot be sent to the server (SNI)");
    return true;
}

bool TlsChannel::SetUpFailed(const char* why)
{
    detail_ = why;
    if (ERR_peek_error() != 0)
        detail_ += " (" + takeErrorText() + ")";
    return false;
}

TlsChannel::~TlsChannel()
{
    SSL_free(session_);
    SSL_CTX_free(context_);
}

TlsStatus TlsChannel::Handshake()
{
    if (session_ == nullptr)
        return TlsStatus::Failed;
    ERR_clear_error();
    TlsStatus status = Outcome(SSL_connect(session_));
    if (status == TlsStatus::Closed) {
        systemError_ = ECONNRESET;  // gone before the session was made
        status = TlsStatus::Failed;
    }
    if (status == TlsStatus::Failed && systemError_ == 0) {
        long verified = SSL_get_verify_result(session_);
        if (verified != X509_V_OK) {
            problem_ = problemOf(verified);
            detail_ = X509_verify_cert_error_string(verified);
        }
    }
    return status;
}

TlsStatus TlsChannel::Read(void* into, size_t size, size_t& got)
{
    got = 0;
    ERR_clear_error();
    int result = SSL_read(session_, into, size > INT_MAX ? INT_MAX : int(size));
    if (result > 0)
        got = size_t(result);
    return Outcome(result);
}

TlsStatus TlsChannel::Write(const void* from, size_t size, size_t& put)
{
    put = 0;
    ERR_clear_error();
    int result = SSL_write(session_, from, size > INT_MAX ? INT_MAX : int(size));
    if (result > 0)
        put = size_t(result);
    return Outcome(result);
}

TlsStatus TlsChannel::Outcome(int result)
{
    if (result > 0)
        return TlsStatus::Done;
    int savedErrno = errno;
    switch (SSL_get_error(session_, result)) {
        case SSL_ERROR_WANT_READ:
            return TlsStatus::WantRead;
        case SSL_ERROR_WANT_WRITE:
            return TlsStatus::WantWrite;
        case SSL_ERROR_ZERO_RETURN:
            return TlsStatus::Closed;
        case SSL_ERROR_SYSCALL:
            ERR_clear_error();
            if (savedErrno == 0)
                return TlsStatus::Closed;
            systemError_ = savedErrno;
            return TlsStatus::Failed;
        default:
            detail_ = takeErrorText();
            return TlsStatus::Failed;
    }
}

bool TlsChannel::HasDecryptedBytes() const { return session_ != nullptr && SSL_pending(session_) > 0; }

uint64_t TlsChannel::RawBytesRead() const
{
    BIO* in = session_ != nullptr ? SSL_get_rbio(session_) : nullptr;
    return in != nullptr ? BIO_number_read(in) : 0;
}

std::string TlsChannel::Version() const { return session_ != nullptr ? SSL_get_version(session_) : ""; }

}  // namespace korva
