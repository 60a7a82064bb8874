#include "discard_sink.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

void reply(int connection, const char* text) {
    send(connection, text, std::strlen(text), MSG_NOSIGNAL);
}

// Reads from the connection: lines for commands, blocks for data.
class Reader {
public:
    explicit Reader(int connection) : connection_(connection), buffer_(256 * 1024) {}

    bool line(std::string& out) {
        out.clear();
        for (;;) {
            for (; position_ < count_; ++position_) {
                if (buffer_[position_] == '\n') {
                    ++position_;
                    if (!out.empty() && out.back() == '\r') out.pop_back();
                    return true;
                }
                out.push_back(buffer_[position_]);
            }
            if (!fill()) return false;
        }
    }

    // Consumes message data up to and including "\r\n.\r\n"; counts and
    // records everything consumed, the final ".\r\n" included.
    bool data(uint64_t& bytes, FILE* record) {
        static const char end[] = "\r\n.\r\n";
        size_t matched = 2;  // the DATA line's own CR LF counts as a line start
        bytes = 0;
        for (;;) {
            size_t start = position_;
            bool done = false;
            for (; position_ < count_ && !done; ++position_) {
                char c = buffer_[position_];
                matched = c == end[matched] ? matched + 1 : (c == '\r' ? 1 : 0);
                done = matched == 5;
            }
            write(record, start, position_);
            bytes += position_ - start;
            if (done) return true;
            if (!fill()) return false;
        }
    }

private:
    void write(FILE* record, size_t from, size_t to) {
        if (record != nullptr && to > from) fwrite(buffer_.data() + from, 1, to - from, record);
    }

    bool fill() {
        ssize_t n = recv(connection_, buffer_.data(), buffer_.size(), 0);
        if (n <= 0) return false;
        count_ = static_cast<size_t>(n);
        position_ = 0;
        return true;
    }

    int connection_;
    std::vector<char> buffer_;
    size_t count_ = 0;
    size_t position_ = 0;
};

bool startsWithNoCase(const std::string& line, const char* word) {
    return strncasecmp(line.c_str(), word, std::strlen(word)) == 0;
}

}  // namespace

DiscardSink::DiscardSink() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(listener_, 4) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

DiscardSink::~DiscardSink() {
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
}

void DiscardSink::recordNextMessage(const std::string& path) { recordPath_ = path; }

void DiscardSink::run() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0) continue;
        int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        serve(connection);
        close(connection);
    }
}

void DiscardSink::serve(int connection) {
    Reader reader(connection);
    std::string line;
    reply(connection, "220 discard sink ready\r\n");
    while (reader.line(line)) {
        if (startsWithNoCase(line, "EHLO")) {
            reply(connection, "250-discard sink\r\n250-AUTH LOGIN\r\n250 8BITMIME\r\n");
        } else if (startsWithNoCase(line, "AUTH LOGIN")) {
            // The user name may come with the command (initial response).
            if (line.size() <= 11) {
                reply(connection, "334 VXNlcm5hbWU6\r\n");
                if (!reader.line(line)) return;
            }
            reply(connection, "334 UGFzc3dvcmQ6\r\n");
            if (!reader.line(line)) return;
            reply(connection, "235 accepted\r\n");
        } else if (startsWithNoCase(line, "DATA")) {
            reply(connection, "354 go ahead\r\n");
            FILE* record = recordPath_.empty() ? nullptr : std::fopen(recordPath_.c_str(), "wb");
            recordPath_.clear();
            uint64_t bytes = 0;
            bool whole = reader.data(bytes, record);
            if (record != nullptr) {
                std::fflush(record);
                if (whole && ftruncate(fileno(record), static_cast<off_t>(bytes - 3)) != 0) std::perror("record");
                std::fclose(record);
            }
            if (!whole) return;
            dataBytes_ += bytes - 3;
            ++messages_;
            reply(connection, "250 discarded\r\n");
        } else if (startsWithNoCase(line, "QUIT")) {
            reply(connection, "221 bye\r\n");
            return;
        } else {
            reply(connection, "250 ok\r\n");
        }
    }
}
