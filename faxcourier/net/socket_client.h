#pragma once
// Blocking TCP client (IPv4) for one server conversation: Create, Bind,
// Connect, then SendString / SendFormatted and ReadLine, then Close. Replies
// are received in chunks of at most 128 bytes and handed out byte by byte;
// a whole reply line must arrive within the time-out.
//
// A failed step's error has the code below and its decimal form as text,
// which is what the error boxes show; LastError() keeps it until the next
// step. Error codes are errno values, plus the program's own: 10060 (no data
// within the time-out, or a connect or send that timed out), 10004 (aborted
// for shutdown, see conversation_abort.h), 10040 (a reply line longer than
// the protocol allows), 10503 (the peer closed the connection), 11002 (the
// host name gave no usable address), 12100 (the TLS handshake was refused:
// see TlsProblem and TlsDetail). A name that
// cannot be looked up gives 11001 (no such host), 11002 (try again) or
// 11003 (look-up failure).

#include "faxcourier/foundation/korva_string.h"
#include "faxcourier/net/certificate_problem.h"
#include "faxcourier/net/conversation_abort.h"
#include "platform/result.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <netinet/in.h>
#include <string>
#include <sys/types.h>

namespace korva {

constexpr int kSocketTimedOut = 10060;
constexpr int kSocketPeerClosed = 10503;
constexpr int kSocketHostNotFound = 11001;
constexpr int kSocketUnusableHost = 11002;
constexpr int kSocketLookupFailed = 11003;
constexpr int kSocketTlsRefused = 12100;
constexpr int kSocketLineTooLong = 10040;  // Winsock's "message too long"

class TlsChannel;

class Socket {
public:
    static constexpr uint32_t kReceiveChunk = 128;
    static constexpr uint32_t kRetryWindowSeconds = 1;
    static constexpr uint32_t kRetryPauseMs = 250;
    // The longest reply line with its CR LF, in SMTP (RFC 5321 4.5.3.1.5)
    // and POP3 (RFC 1939) alike.
    static constexpr uint32_t kMaxReplyLine = 512;
    // The most of one reply line that goes into the debug log.
    static constexpr uint32_t kLoggedReplyLength = 200;

    Socket();
    ~Socket();  // closes like Close
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    // Opens the socket; the time-out is kept within 10...3600 seconds.
    Result<void> Create(uint32_t timeoutSeconds);
    Result<void> Bind();
    // A host beginning with a digit is a dotted address and is never looked
    // up by name.
    Result<void> Connect(const char* host, unsigned port);
    // `address` in network order.
    Result<void> ConnectAddress(uint32_t address, unsigned port);

    // Sends the whole text, or reports failure.
    Result<void> SendString(const char* text);
    Result<void> SendFormatted(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // The next byte; waits at most the time-out for it.
    Result<void> GetByte(unsigned char& byte);
    // The next line without its CR/LF; fails when no more bytes came, the
    // line was not complete within the time-out, or it grew longer than
    // kMaxReplyLine (kSocketLineTooLong, at once). The line keeps what was
    // read.
    Result<void> ReadLine(String& line);
    // As ReadLine, but a shutdown abort does not end this wait at once: the
    // line may still come within `grace` of the abort (and the time-out).
    // For the one reply that tells whether the server took what it was sent.
    Result<void> ReadLineThroughAbort(String& line, std::chrono::milliseconds grace);

    // Turns the connection into TLS: from here on every send and read goes
    // through it, so the line reader works unchanged above it. `host` is
    // what the certificate must be issued for (a dotted address is checked
    // as an address); `caFile` (null or empty for none) is trusted beside
    // the system's CA store. The handshake has the time-out of one reply.
    // Bytes the server sent before the handshake are dropped unread. After
    // a failure nothing more is sent or read until Close.
    Result<void> StartTls(const char* host, const char* caFile);
    bool UsesTls() const { return tls_ != nullptr && !tlsFailed_; }
    std::string TlsVersion() const;  // "TLSv1.3", or empty
    // After a refused handshake (kSocketTlsRefused): what was wrong with the
    // certificate (None when it was not the certificate), in the TLS
    // library's words too.
    CertificateProblem TlsProblem() const { return tlsProblem_; }
    const std::string& TlsDetail() const { return tlsDetail_; }

    // Aborting close (zero linger).
    void Close();
    void SetSendTimeout(uint32_t seconds);

    String ErrorText() const;        // the last error in decimal
    String PeerAddressText() const;  // "a.b.c.d"

    int LastError() const { return lastError_; }
    uint32_t TimeoutSeconds() const { return timeout_; }
    bool IsOpen() const { return handle_ >= 0; }
    int Handle() const { return handle_; }

private:
    using Deadline = std::chrono::steady_clock::time_point;

    Deadline ReplyDeadline() const;
    [[nodiscard]] bool AbortEndsWait(Deadline& deadline);
    [[nodiscard]] int WaitUntil(short events, Deadline deadline);
    [[nodiscard]] int ConnectOnce();
    [[nodiscard]] int WaitForReplyData(Deadline deadline);
    Result<void> NextByte(unsigned char& byte, Deadline deadline);
    Result<void> ReadLineUntil(String& line, Deadline deadline);
    Result<void> ErrorExit(int currentError);
    Result<void> SendAll(const char* text, size_t length);
    [[nodiscard]] int SendSome(const char* text, size_t length, size_t& sent);
    [[nodiscard]] int ReceiveSome(ssize_t& count, uint64_t& rawCount);
    void DropPlainLeftovers();
    Result<void> TlsFailed(int error);
    // The last error as the steps hand it back.
    Error Failure() const;
    // Success, or Failure().
    Result<void> Outcome(bool done) const;

    sockaddr_in peer_;
    int handle_ = -1;
    unsigned char buffer_[2048];
    int32_t bufferCount_ = 0;
    int32_t readPosition_ = 0;
    char lastTerminator_ = 0;
    uint32_t timeout_ = 10;
    int32_t lastError_ = 0;
    int receivesThisLine_ = 0;
    int bytesLeftAfterDeadline_ = -1;           // -1: the deadline has not been met yet
    std::chrono::milliseconds abortGrace_{-1};  // -1: an abort ends every wait at once
    std::optional<Deadline> graceEnd_;          // set once an abort is seen within a grace
    std::unique_ptr<TlsChannel> tls_;
    bool tlsFailed_ = false;
    CertificateProblem tlsProblem_ = CertificateProblem::None;
    std::string tlsDetail_;
};

// Ends a conversation, SMTP or POP3 alike: QUIT, and its one reply line is
// awaited but not judged, as nothing is left to go wrong. The socket stays
// open.
void Quit(Socket& socket);

// The box message for a reply that could not be read: a line longer than
// the protocol allows is the server's error, not the connection's.
inline const char* ReadFailureMessage(const Socket& socket, const char* socketMessage, const char* replyMessage)
{
    return socket.LastError() == kSocketLineTooLong ? replyMessage : socketMessage;
}

}  // namespace korva
