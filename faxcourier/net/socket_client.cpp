#include "faxcourier/net/socket_client.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/net/conversation_abort.h"
#include "faxcourier/net/socket_seam.h"
#include "faxcourier/net/tls_channel.h"
#include "platform/tick_count.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace korva {
namespace {

std::atomic<int> readWaitOverrideMs{-1};
std::atomic<size_t> sendChunkLimit{0};

constexpr int kNoMoreDataRetries = 10;
// The TLS session must wait for the other direction before it can go on.
constexpr int kTlsWantsRead = -2;
constexpr int kTlsWantsWrite = -3;

uint32_t clampTimeout(uint32_t seconds) { return seconds < 10 ? 10 : seconds > 3600 ? 3600 : seconds; }

// Sleeps, but wakes at once for an abort; false when aborted.
bool pauseUnlessAborted(int milliseconds)
{
    if (serverConversationsAborted())
        return false;
    pollfd abort{serverConversationAbortHandle(), POLLIN, 0};
    if (abort.fd < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return !serverConversationsAborted();
    }
    return poll(&abort, 1, milliseconds) <= 0;
}

bool setNonBlocking(int fd, bool on)
{
    int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) == 0;
}

// The numbers Winsock gives for failed name look-ups.
int lookupError(int gaiError)
{
    switch (gaiError) {
        case EAI_NONAME:
#ifdef EAI_NODATA
        case EAI_NODATA:
#endif
            return kSocketHostNotFound;
        case EAI_AGAIN:
            return kSocketUnusableHost;
        case EAI_SYSTEM:
            return errno ? errno : kSocketLookupFailed;
        default:
            return kSocketLookupFailed;
    }
}

}  // namespace

namespace socket_seam {
int setReadWaitMs(int milliseconds) { return readWaitOverrideMs.exchange(milliseconds); }
size_t setSendChunkLimit(size_t bytes) { return sendChunkLimit.exchange(bytes); }
}  // namespace socket_seam

Socket::Socket() { std::memset(&peer_, 0, sizeof peer_); }

Socket::~Socket() { Close(); }

Result<void> Socket::Create(uint32_t timeoutSeconds)
{
    if (handle_ >= 0)
        Close();
    prepareServerConversationAbort();
    bufferCount_ = readPosition_ = 0;
    timeout_ = clampTimeout(timeoutSeconds);
    handle_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    lastError_ = handle_ < 0 ? errno : 0;
    if (handle_ >= 0) {
        // Every send is a whole command or a large block of the message, and
        // a reply is awaited after each command: Nagle would hold a short
        // command back until the server's delayed ACK (40 ms) came.
        int on = 1;
        setsockopt(handle_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return Outcome(handle_ >= 0);
}

Result<void> Socket::Bind()
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    lastError_ = bind(handle_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ? errno : 0;
    return Outcome(lastError_ == 0);
}

Result<void> Socket::Connect(const char* host, unsigned port)
{
    // This text and the next two: socket_client_test compares the log to the letter.
    LogAlways(1, "Connect 1\n");
    if (!host)
        host = "";
    if (std::isdigit(static_cast<unsigned char>(host[0]))) {
        in_addr address{};
        if (inet_aton(host, &address))
            return ConnectAddress(address.s_addr, port);
        lastError_ = EINVAL;  // not a dotted address; never looked up by name
        return Outcome(false);
    }
    LogAlways(1, "Connect 2\n");  // socket_client_test matches the exact text
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (int rc = getaddrinfo(host, nullptr, &hints, &found)) {
        lastError_ = lookupError(rc);
        return Outcome(false);
    }
    bool usable = found && found->ai_addr && found->ai_family == AF_INET && found->ai_addrlen >= sizeof(sockaddr_in);
    uint32_t address = usable ? reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr : 0;
    freeaddrinfo(found);
    if (!usable) {
        lastError_ = kSocketUnusableHost;
        return Outcome(false);
    }
    // socket_client_test matches the exact text.
    LogAlways(1, "DNS of \"%.100s\" = %08lx\n", host, static_cast<unsigned long>(address));
    return ConnectAddress(address, port);
}

// A refused server is tried again every 250 ms until a little over the
// retry window has passed.
Result<void> Socket::ConnectAddress(uint32_t address, unsigned port)
{
    std::memset(&peer_, 0, sizeof peer_);
    peer_.sin_family = AF_INET;
    peer_.sin_port = htons(static_cast<uint16_t>(port));
    peer_.sin_addr.s_addr = address;
    uint32_t started = tickCount();
    for (;;) {
        lastError_ = ConnectOnce();
        if (lastError_ == 0) {
            SetSendTimeout(timeout_);
            return {};
        }
        if (lastError_ == ENOTSOCK || lastError_ == EBADF || lastError_ == kSocketAborted ||
            lastError_ == kSocketTimedOut)
            return Outcome(false);
        if (tickCount() - started > 1000 * kRetryWindowSeconds)
            return Outcome(false);
        LogAlways(1, "Retrying connection to %08lx (%ld)\n", static_cast<unsigned long>(address),
                  static_cast<long>(lastError_));
        if (!pauseUnlessAborted(kRetryPauseMs)) {
            lastError_ = kSocketAborted;
            return Outcome(false);
        }
    }
}

// Non-blocking for the attempt only, so that it can wait with the time-out
// and be aborted; 0 or the error.
int Socket::ConnectOnce()
{
    if (serverConversationsAborted())
        return kSocketAborted;
    if (!setNonBlocking(handle_, true))
        return errno;
    int error = 0;
    bool connected = connect(handle_, reinterpret_cast<sockaddr*>(&peer_), sizeof peer_) == 0 || errno == EISCONN;
    // After a refused attempt that was waited for, the system first reports
    // that one as aborted and only then starts a new one.
    if (!connected && errno == ECONNABORTED)
        connected = connect(handle_, reinterpret_cast<sockaddr*>(&peer_), sizeof peer_) == 0 || errno == EISCONN;
    if (!connected) {
        error = errno;
        if (error == EINPROGRESS || error == EINTR) {
            error = WaitUntil(POLLOUT, Deadline::clock::now() + std::chrono::seconds(timeout_));
            socklen_t size = sizeof error;
            if (error == 0 && getsockopt(handle_, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = errno;
            // Made, then reset by the peer before we looked: that is the
            // conversation's failure, for its first read to report, not a
            // refusal to try again on a server that will never answer it.
            if (error == ECONNRESET)
                error = 0;
        }
    }
    setNonBlocking(handle_, false);
    return error;
}

// A send that finds the system's buffer full waits up to the time-out for
// room, and ends at once for an abort.
Result<void> Socket::SendAll(const char* text, size_t length)
{
    size_t sent = 0;
    lastError_ = serverConversationsAborted() ? kSocketAborted : 0;
    while (lastError_ == 0 && sent < length) {
        size_t chunk = length - sent;
        if (size_t limit = sendChunkLimit.load(); limit && chunk > limit)
            chunk = limit;
        size_t put = 0;
        int error = SendSome(text + sent, chunk, put);
        sent += put;
        auto deadline = Deadline::clock::now() + std::chrono::seconds(timeout_);
        if (error == EAGAIN || error == EWOULDBLOCK || error == kTlsWantsWrite)
            lastError_ = WaitUntil(POLLOUT, deadline);
        else if (error == kTlsWantsRead)
            lastError_ = WaitUntil(POLLIN, deadline);
        else if (error != EINTR)
            lastError_ = error;
    }
    if (lastError_ != 0) {
        // socket_client_test matches the exact text.
        LogAlways(0, "Socket Error during Socket::SendString - %.100s (addr:%.100s)\n", ErrorText().Text(),
                  PeerAddressText().Text());
        return Failure();
    }
    return {};
}

// One send without waiting: 0 with `sent` set, or why nothing went.
int Socket::SendSome(const char* text, size_t length, size_t& sent)
{
    sent = 0;
    if (tlsFailed_)
        return kSocketTlsRefused;
    if (tls_) {
        switch (tls_->Write(text, length, sent)) {
            case TlsStatus::Done:
                return 0;
            case TlsStatus::WantRead:
                return kTlsWantsRead;
            case TlsStatus::WantWrite:
                return kTlsWantsWrite;
            case TlsStatus::Closed:
                return EPIPE;
            case TlsStatus::Failed:
                break;
        }
        return tls_->SystemError() ? tls_->SystemError() : kSocketTlsRefused;
    }
    ssize_t n = send(handle_, text, length, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0)
        return errno;
    sent = size_t(n);
    return 0;
}

// One receive into the buffer without waiting: 0 with `count` bytes (0 when
// the peer has closed), or why none came. `rawCount` is what was taken from
// the connection, which under TLS is not what came out of it.
int Socket::ReceiveSome(ssize_t& count, uint64_t& rawCount)
{
    count = 0;
    rawCount = 0;
    size_t chunk = kReceiveChunk < sizeof buffer_ ? kReceiveChunk : sizeof buffer_;
    if (tlsFailed_)
        return kSocketTlsRefused;
    if (tls_) {
        uint64_t before = tls_->RawBytesRead();
        size_t got = 0;
        TlsStatus status = tls_->Read(buffer_, chunk, got);
        rawCount = tls_->RawBytesRead() - before;
        count = ssize_t(got);
        switch (status) {
            case TlsStatus::Done:
            case TlsStatus::Closed:
                return 0;
            case TlsStatus::WantRead:
                return EAGAIN;
            case TlsStatus::WantWrite:
                return kTlsWantsWrite;
            case TlsStatus::Failed:
                break;
        }
        return tls_->SystemError() ? tls_->SystemError() : kSocketTlsRefused;
    }
    count = recv(handle_, buffer_, chunk, MSG_DONTWAIT);
    if (count < 0)
        return errno;
    rawCount = uint64_t(count);
    return 0;
}

// Sends until the whole text is gone: a send that the system takes only in
// part is continued rather than reported as done.
Result<void> Socket::SendString(const char* text)
{
    lastTerminator_ = 0;
    if (!text)
        text = "";
    return SendAll(text, std::strlen(text));
}

Result<void> Socket::SendFormatted(const char* format, ...)
{
    char text[10000];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return SendString(text);
}

Result<void> Socket::GetByte(unsigned char& byte)
{
    bytesLeftAfterDeadline_ = -1;
    return NextByte(byte, ReplyDeadline());
}

Socket::Deadline Socket::ReplyDeadline() const
{
    int waitMs = readWaitOverrideMs.load();
    auto wait = waitMs >= 0 ? std::chrono::milliseconds(waitMs) : std::chrono::milliseconds(int64_t(timeout_) * 1000);
    return Deadline::clock::now() + wait;
}

// Waits for the socket until `deadline`: 0 when it is ready, else the
// error (kSocketAborted as soon as the conversations are aborted).
int Socket::WaitUntil(short events, Deadline deadline)
{
    for (;;) {
        if (AbortEndsWait(deadline))
            return kSocketAborted;
        auto now = Deadline::clock::now();
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        // Checked before polling: a server that always has more ready would
        // otherwise never be cut off.
        if (left <= 0)
            return graceEnd_ && now >= *graceEnd_ ? kSocketAborted : kSocketTimedOut;
        // Within a grace the abort handle, readable from then on, is not watched.
        pollfd ready[2] = {{handle_, events, 0}, {graceEnd_ ? -1 : serverConversationAbortHandle(), POLLIN, 0}};
        int rc = poll(ready, ready[1].fd >= 0 ? 2 : 1, int(left));
        if (rc > 0 && ready[1].revents != 0) {
            if (abortGrace_.count() < 0)
                return kSocketAborted;
            continue;
        }
        if (rc > 0)
            return 0;
        if (rc < 0 && errno != EINTR)
            return errno;
    }
}

// Whether an abort ends the wait now; within a grace it only brings
// `deadline` forward to the grace's end.
bool Socket::AbortEndsWait(Deadline& deadline)
{
    if (!serverConversationsAborted())
        return false;
    if (abortGrace_.count() < 0)
        return true;
    if (!graceEnd_)
        graceEnd_ = Deadline::clock::now() + abortGrace_;
    deadline = std::min(deadline, *graceEnd_);
    return false;
}

// Bytes that had already arrived when the deadline passed are still taken
// (a short time-out must not lose them); nothing that comes later is, so a
// server that always has more ready is cut off all the same.
int Socket::WaitForReplyData(Deadline deadline)
{
    if (bytesLeftAfterDeadline_ > 0)
        return AbortEndsWait(deadline) ? kSocketAborted : 0;
    int waitError = WaitUntil(POLLIN, deadline);
    if (waitError == kSocketTimedOut && bytesLeftAfterDeadline_ < 0) {
        int pending = 0;
        bytesLeftAfterDeadline_ = ioctl(handle_, FIONREAD, &pending) == 0 && pending > 0 ? pending : 0;
        if (bytesLeftAfterDeadline_ > 0)
            waitError = 0;
    }
    return waitError;
}

// One byte of the reply; data that trickles in never moves `deadline`.
// Every pass either takes bytes or waits through WaitForReplyData, so the
// deadline and the shutdown abort hold on each one.
Result<void> Socket::NextByte(unsigned char& byte, Deadline deadline)
{
    if (readPosition_ < bufferCount_) {
        byte = buffer_[readPosition_++];
        lastError_ = 0;
        return {};
    }
    bufferCount_ = readPosition_ = 0;
    lastError_ = 0;
    if (handle_ < 0)
        return ErrorExit(EBADF);
    for (int attempt = 0; attempt < kNoMoreDataRetries;) {
        // Decrypted bytes waiting in the TLS session are never seen by poll;
        // part of a record is no bytes at all and is waited for like any other.
        int waitError = tls_ && tls_->HasDecryptedBytes() ? (AbortEndsWait(deadline) ? kSocketAborted : 0)
                                                          : WaitForReplyData(deadline);
        if (waitError != 0) {
            if (waitError == kSocketTimedOut)
                LogAlways(-1, "SELECT TIMEOUT!!!!\n");  // socket_client_test counts this exact line
            lastError_ = waitError;
            return ErrorExit(0);
        }
        ssize_t n = 0;
        uint64_t raw = 0;
        int receiveError = ReceiveSome(n, raw);
        if (bytesLeftAfterDeadline_ > 0)
            bytesLeftAfterDeadline_ = raw < uint64_t(bytesLeftAfterDeadline_) ? bytesLeftAfterDeadline_ - int(raw) : 0;
        if (receiveError == EAGAIN || receiveError == EWOULDBLOCK || receiveError == EINTR) {
            // After the deadline a receive that took nothing ends the reading
            // of what had already arrived.
            if (raw == 0 && bytesLeftAfterDeadline_ > 0)
                bytesLeftAfterDeadline_ = 0;
            continue;
        }
        if (receiveError == kTlsWantsWrite) {
            if ((lastError_ = WaitUntil(POLLOUT, deadline)) != 0)
                return ErrorExit(0);
            continue;
        }
        if (receiveError != 0)
            return ErrorExit(receiveError);
        ++receivesThisLine_;
        if (n > 0) {
            bufferCount_ = int32_t(n);
            byte = buffer_[readPosition_++];
            return {};
        }
        // The end of a TLS session is final, and its connection may stay
        // open without ever becoming readable again.
        if (tls_)
            break;
        ++attempt;
        if (!pauseUnlessAborted(100)) {
            lastError_ = kSocketAborted;
            return ErrorExit(0);
        }
    }
    lastError_ = kSocketPeerClosed;
    LogAlways(2, "No more data during Socket::GetByte (addr:%.100s)\n", PeerAddressText().Text());
    return Failure();
}

// The stored error is logged: after a time-out the system has no error of
// its own to show.
Result<void> Socket::ErrorExit(int currentError)
{
    if (lastError_ == 0)
        lastError_ = currentError;
    // socket_client_test counts this exact line.
    LogAlways(0, "Socket Error during Socket::GetByte - %.100s (addr:%.100s)\n", ErrorText().Text(),
              PeerAddressText().Text());
    return Failure();
}

// A CR or LF on an empty line is either an empty line of its own or the
// second half of the previous line's CR LF / LF CR pair, which is skipped.
// The whole line must arrive within the time-out, however slowly it comes.
Result<void> Socket::ReadLine(String& line)
{
    line.Clear();
    receivesThisLine_ = 0;
    bytesLeftAfterDeadline_ = -1;
    Result<void> complete = ReadLineUntil(line, ReplyDeadline());
    // Once per line and cut short: a server that sends without end must not
    // fill the disk through the debug log.
    LogDebug("ReadLine %s after %d receives (%u bytes): %.*s\n", complete.ok() ? "done" : "failed", receivesThisLine_,
             line.Length(), int(kLoggedReplyLength), line.Text());
    return complete;
}

Result<void> Socket::ReadLineThroughAbort(String& line, std::chrono::milliseconds grace)
{
    abortGrace_ = grace;
    graceEnd_.reset();
    Result<void> complete = ReadLine(line);
    abortGrace_ = std::chrono::milliseconds(-1);
    graceEnd_.reset();
    return complete;
}

Result<void> Socket::ReadLineUntil(String& line, Deadline deadline)
{
    char previous = 0;
    unsigned char byte = 0;
    for (;;) {
        if (Result<void> got = NextByte(byte, deadline); !got)
            return got;
        char c = char(byte);
        if (c != '\r' && c != '\n') {
            // Reading on would only let the server keep us busy until the
            // time-out: no good reply can follow.
            if (line.Length() + 2 >= kMaxReplyLine) {
                lastError_ = kSocketLineTooLong;
                LogAlways(0, "Reply line longer than %u bytes from %.100s\n", unsigned(kMaxReplyLine),
                          PeerAddressText().Text());
                return Failure();
            }
            line.AppendChar(c);
            continue;
        }
        if (!line.IsEmpty()) {
            lastTerminator_ = c;
            return {};
        }
        if (c == lastTerminator_ || (c == '\r' && previous == '\n') || (c == '\n' && previous == '\r'))
            return {};
        previous = c;
    }
}

// A dotted host is checked against the certificate's addresses in the form
// the connection used; a name also goes out as SNI.
Result<void> Socket::StartTls(const char* host, const char* caFile)
{
    tlsProblem_ = CertificateProblem::None;
    tlsDetail_.clear();
    if (handle_ < 0 || tls_)
        return TlsFailed(EBADF);
    DropPlainLeftovers();
    if (!setNonBlocking(handle_, true))
        return TlsFailed(errno);
    bool address = host != nullptr && std::isdigit(static_cast<unsigned char>(host[0]));
    std::string name = address ? std::string(PeerAddressText().Text()) : std::string(host ? host : "");
    tls_ = std::make_unique<TlsChannel>(handle_, name, address, caFile ? caFile : "");
    Deadline deadline = ReplyDeadline();
    for (;;) {
        TlsStatus status = tls_->Handshake();
        if (status == TlsStatus::Done)
            break;
        if (status == TlsStatus::WantRead || status == TlsStatus::WantWrite) {
            if (int waitError = WaitUntil(status == TlsStatus::WantRead ? POLLIN : POLLOUT, deadline))
                return TlsFailed(waitError);
            continue;
        }
        tlsProblem_ = tls_->Problem();
        tlsDetail_ = tls_->Detail();
        return TlsFailed(tls_->SystemError() ? tls_->SystemError() : kSocketTlsRefused);
    }
    lastError_ = 0;
    lastTerminator_ = 0;
    LogAlways(1, "%s with %.100s\n", tls_->Version().c_str(), name.c_str());
    return {};
}

// The handshake must begin on a clean connection: the LF left behind by the
// reply that allowed it is taken, and anything else the server sent before
// it (which someone on the way may have put there) is dropped unread.
void Socket::DropPlainLeftovers()
{
    int32_t left = bufferCount_ - readPosition_;
    if (left > 0 && lastTerminator_ == '\r' && buffer_[readPosition_] == '\n')
        --left;
    if (left == 0 && readPosition_ == bufferCount_ && lastTerminator_ == '\r') {
        char next = 0;
        if (recv(handle_, &next, 1, MSG_PEEK | MSG_DONTWAIT) == 1 && next == '\n') {
            [[maybe_unused]] ssize_t taken = recv(handle_, &next, 1, MSG_DONTWAIT);
        }
    }
    if (left > 0)
        LogAlways(0, "%d bytes sent before TLS by %.100s were dropped\n", int(left), PeerAddressText().Text());
    bufferCount_ = readPosition_ = 0;
}

Result<void> Socket::TlsFailed(int error)
{
    lastError_ = error;
    tlsFailed_ = true;
    LogAlways(0, "TLS with %.100s failed - %d %.200s\n", PeerAddressText().Text(), error, tlsDetail_.c_str());
    return Failure();
}

Error Socket::Failure() const { return Error::withText(ErrorText().Text(), lastError_); }

Result<void> Socket::Outcome(bool done) const
{
    if (done)
        return {};
    return Failure();
}

std::string Socket::TlsVersion() const { return UsesTls() ? tls_->Version() : std::string(); }

void Socket::Close()
{
    tls_.reset();
    tlsFailed_ = false;
    if (handle_ >= 0) {
        linger abort{1, 0};
        setsockopt(handle_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        lastError_ = close(handle_) == 0 ? 0 : errno;
    }
    lastTerminator_ = 0;
    handle_ = -1;
}

void Socket::SetSendTimeout(uint32_t seconds)
{
    timeout_ = seconds == 0 ? 3600 : clampTimeout(seconds);
    timeval limit{};
    limit.tv_sec = time_t(timeout_);
    setsockopt(handle_, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

String Socket::ErrorText() const
{
    char text[24];
    std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(static_cast<uint32_t>(lastError_)));
    return String(text);
}

void Quit(Socket& socket)
{
    String ignored;
    if (socket.SendString("QUIT\r\n"))
        static_cast<void>(socket.ReadLine(ignored));
}

String Socket::PeerAddressText() const
{
    auto* bytes = reinterpret_cast<const unsigned char*>(&peer_.sin_addr.s_addr);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return String(text);
}

}  // namespace korva
