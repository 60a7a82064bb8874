#pragma once
// One server conversation of a fuzz input, without threads: the program's
// connect() is wrapped (link option --wrap=connect), and as soon as the
// client is connected the server side is accepted and the input's bytes
// are sent. Once the client's socket holds them all, its read wait becomes
// zero, so that running out of bytes is an immediate time-out instead of a
// wait. What the client sends stays unread in the server's receive buffer,
// so its sends never fail: the outcome depends on the bytes alone.

#include "fuzz/fuzz_support.h"
#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/socket_client.h"
#include "faxcourier/net/socket_seam.h"

#include <string>
#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>

extern "C" int __real_connect(int fd, const sockaddr* address, socklen_t length);

namespace korva::fuzz {

class ServerBytes;
inline ServerBytes* answering = nullptr;

class ServerBytes {
public:
    // Inputs larger than this do not fit the socket buffers whole.
    static constexpr size_t kMaxBytes = 32768;

    ServerBytes(const Listener& listener, std::string bytes) : listener_(listener.fd), bytes_(std::move(bytes))
    {
        answering = this;
    }
    ~ServerBytes()
    {
        answering = nullptr;
        socket_seam::setReadWaitMs(-1);
        if (server_ >= 0)
            close(server_);
    }
    ServerBytes(const ServerBytes&) = delete;
    ServerBytes& operator=(const ServerBytes&) = delete;

    void answer(int client)
    {
        server_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        FUZZ_CHECK(server_ >= 0);
        FUZZ_CHECK(send(server_, bytes_.data(), bytes_.size(), MSG_NOSIGNAL) == ssize_t(bytes_.size()));
        for (long spins = 0;; ++spins) {
            int pending = 0;
            FUZZ_CHECK(ioctl(client, FIONREAD, &pending) == 0);
            if (size_t(pending) == bytes_.size())
                break;
            FUZZ_CHECK(spins < 100000000);
        }
        socket_seam::setReadWaitMs(0);
    }

private:
    int listener_;
    int server_ = -1;
    std::string bytes_;
};

enum class ReplyRead { Line, TimedOut, TooLong };

// One reply line as Socket::ReadLine reads it right after a send (so with
// no remembered terminator): TimedOut when the bytes run out first, TooLong
// when the line outgrows a reply.
inline ReplyRead readReplyLine(const std::string& bytes, size_t& at, std::string& line)
{
    line.clear();
    char previous = 0;
    while (at < bytes.size()) {
        char c = bytes[at++];
        if (c != '\r' && c != '\n') {
            if (line.size() + 2 >= Socket::kMaxReplyLine)
                return ReplyRead::TooLong;
            line.push_back(c);
            continue;
        }
        if (!line.empty())
            return ReplyRead::Line;
        if ((c == '\r' && previous == '\n') || (c == '\n' && previous == '\r'))
            return ReplyRead::Line;
        previous = c;
    }
    return ReplyRead::TimedOut;
}

// The box of a reply that could not be read: a line too long is the
// server's error, running out of bytes the socket's time-out.
inline bool unreadReplyBox(const ServerErrorBox& box, ReplyRead read, const char* socketMessage,
                           const char* replyMessage, const std::string& context)
{
    bool tooLong = read == ReplyRead::TooLong;
    return box.message == (tooLong ? replyMessage : socketMessage) && box.context == context &&
           box.detail == (tooLong ? "10040" : "10060");
}

// What a box shows of a reply line: its text up to a NUL byte.
inline std::string shownText(const std::string& line) { return line.substr(0, line.find('\0')); }

}  // namespace korva::fuzz

// Every connect() of the program in this fuzz target.
// The client connects without blocking: the connection to the local
// listener is completed here, so the input is answered before the client
// waits for it.
extern "C" int __wrap_connect(int fd, const sockaddr* address, socklen_t length)
{
    int rc = __real_connect(fd, address, length);
    if (rc != 0 && errno == EINPROGRESS && korva::fuzz::answering) {
        pollfd connecting{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        FUZZ_CHECK(poll(&connecting, 1, 10000) == 1);
        FUZZ_CHECK(getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0);
        rc = 0;
    }
    if (rc == 0 && korva::fuzz::answering)
        korva::fuzz::answering->answer(fd);
    return rc;
}
