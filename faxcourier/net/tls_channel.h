#pragma once
// The TLS session under a Socket, on its non-blocking descriptor. Every call
// returns at once; the Socket does the waiting, so its time-outs and the
// shutdown abort hold for TLS as they do for plain TCP. The server's
// certificate is checked against the system's CA store (and an extra bundle
// when one is named) and must be issued for the host; TLS 1.2 at least.

#include "faxcourier/net/certificate_problem.h"

#include <cstddef>
#include <cstdint>
#include <string>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace korva {

enum class TlsStatus {
    Done,       // the call did its work
    WantRead,   // wait until the descriptor is readable, then call again
    WantWrite,  // wait until it is writable, then call again
    Closed,     // the peer ended the session (reads only)
    Failed,     // see Problem() / Detail() / SystemError()
};

class TlsChannel {
public:
    // `host` is checked against the certificate: as a name (and sent as
    // SNI), or as an address when `hostIsAddress`. `caFile` may be empty.
    // When any of this cannot be set up (an empty host among it), the
    // handshake fails before anything is sent, and Detail() says why.
    TlsChannel(int fd, const std::string& host, bool hostIsAddress, const std::string& caFile);
    ~TlsChannel();
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    [[nodiscard]] TlsStatus Handshake();
    [[nodiscard]] TlsStatus Read(void* into, size_t size, size_t& got);
    [[nodiscard]] TlsStatus Write(const void* from, size_t size, size_t& put);

    // Whether decrypted bytes wait inside the session, unseen by poll().
    // Part of a record that has not all come is not such a byte.
    bool HasDecryptedBytes() const;
    // Bytes taken from the descriptor so far, encrypted.
    uint64_t RawBytesRead() const;
    std::string Version() const;  // "TLSv1.3"

    // After a failed handshake: what was wrong with the certificate (None
    // when the failure was not about it), the TLS library's words, and the
    // system error when the connection itself failed (0 otherwise).
    CertificateProblem Problem() const { return problem_; }
    const std::string& Detail() const { return detail_; }
    int SystemError() const { return systemError_; }

private:
    [[nodiscard]] bool SetUp(int fd, const std::string& host, bool hostIsAddress, const std::string& caFile);
    [[nodiscard]] bool SetUpFailed(const char* why);
    [[nodiscard]] TlsStatus Outcome(int result);

    SSL_CTX* context_ = nullptr;
    SSL* session_ = nullptr;
    CertificateProblem problem_ = CertificateProblem::None;
    std::string detail_;
    int systemError_ = 0;
};

}  // namespace korva
