#include "discard_sink.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// The connection, plain or, after STARTTLS, through TLS.
struct Channel {
    int connection;
    SSL* tls = nullptr;

    ~Channel() { SSL_free(tls); }
    void reply(const char* text) const
    {
        if (tls != nullptr)
            SSL_write(tls, text, static_cast<int>(std::strlen(text)));
        else
            send(connection, text, std::strlen(text), MSG_NOSIGNAL);
    }
    ssize_t receive(char* into, size_t size) const
    {
        if (tls == nullptr)
            return recv(connection, into, size, 0);
        int n = SSL_read(tls, into, static_cast<int>(size));
        return n > 0 ? n : -1;
    }
};

// Reads from the connection: lines for commands, blocks for data.
class Reader {
public:
    explicit Reader(const Channel& channel) : channel_(channel), buffer_(256 * 1024) {}

    bool line(std::string& out)
    {
        out.clear();
        for (;;) {
            for (; position_ < count_; ++position_) {
                if (buffer_[position_] == '\n') {
                    ++position_;
                    if (!out.empty() && out.back() == '\r')
                        out.pop_back();
                    return true;
                }
                out.push_back(buffer_[position_]);
            }
            if (!fill())
                return false;
        }
    }

    // Consumes message data up to and including "\r\n.\r\n"; counts and
    // records everything consumed, the final ".\r\n" included.
    bool data(uint64_t& bytes, FILE* record)
    {
        static const char end[] = "\r\n.\r\n";
        size_t matched = 2;  // the DATA line's own CR LF counts as a line start
        bytes = 0;
        for (;;) {
            size_t start = position_;
            bool done = false;
            while (position_ < count_ && !done) {
                // Outside a possible end only a CR can begin one: skip to it
                // at memchr's speed, so that the sink is never the slower side.
                if (matched == 0) {
                    const void* cr = std::memchr(buffer_.data() + position_, '\r', count_ - position_);
                    position_ =
                        cr != nullptr ? static_cast<size_t>(static_cast<const char*>(cr) - buffer_.data()) : count_;
                    if (position_ == count_)
                        break;
                }
                char c = buffer_[position_++];
                matched = c == end[matched] ? matched + 1 : (c == '\r' ? 1 : 0);
                done = matched == 5;
            }
            write(record, start, position_);
            bytes += position_ - start;
            if (done)
                return true;
            if (!fill())
                return false;
        }
    }

private:
    void write(FILE* record, size_t from, size_t to)
    {
        if (record != nullptr && to > from)
            fwrite(buffer_.data() + from, 1, to - from, record);
    }

    bool fill()
    {
        ssize_t n = channel_.receive(buffer_.data(), buffer_.size());
        if (n <= 0)
            return false;
        count_ = static_cast<size_t>(n);
        position_ = 0;
        return true;
    }

    const Channel& channel_;
    std::vector<char> buffer_;
    size_t count_ = 0;
    size_t position_ = 0;
};

bool startsWithNoCase(const std::string& line, const char* word)
{
    return strncasecmp(line.c_str(), word, std::strlen(word)) == 0;
}

}  // namespace

DiscardSink::DiscardSink(const std::string& certificateFile, const std::string& keyFile)
{
    if (!certificateFile.empty()) {
        tls_ = SSL_CTX_new(TLS_server_method());
        if (SSL_CTX_use_certificate_chain_file(tls_, certificateFile.c_str()) != 1 ||
            SSL_CTX_use_PrivateKey_file(tls_, keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
            throw std::runtime_error("cannot load " + certificateFile);
    }
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

DiscardSink::~DiscardSink()
{
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
    SSL_CTX_free(tls_);
}

void DiscardSink::recordNextMessage(const std::string& path) { recordPath_ = path; }

void DiscardSink::run()
{
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0)
            continue;
        int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        serve(connection);
        close(connection);
    }
}

void DiscardSink::serve(int connection)
{
    Channel channel{connection};
    Reader reader(channel);
    std::string line;
    channel.reply("220 discard sink ready\r\n");
    while (reader.line(line)) {
        if (startsWithNoCase(line, "EHLO")) {
            channel.reply(tls_ != nullptr && channel.tls == nullptr
                              ? "250-discard sink\r\n250-STARTTLS\r\n250 8BITMIME\r\n"
                              : "250-discard sink\r\n250-AUTH LOGIN\r\n250 8BITMIME\r\n");
        } else if (tls_ != nullptr && channel.tls == nullptr && startsWithNoCase(line, "STARTTLS")) {
            channel.reply("220 go ahead\r\n");
            channel.tls = SSL_new(tls_);
            SSL_set_fd(channel.tls, connection);
            if (SSL_accept(channel.tls) != 1)
                return;
        } else if (tls_ != nullptr && channel.tls == nullptr && !startsWithNoCase(line, "QUIT")) {
            channel.reply("530 must issue STARTTLS first\r\n");
        } else if (startsWithNoCase(line, "AUTH LOGIN")) {
            // The user name may come with the command (initial response).
            if (line.size() <= 11) {
                channel.reply("334 VXNlcm5hbWU6\r\n");
                if (!reader.line(line))
                    return;
            }
            channel.reply("334 UGFzc3dvcmQ6\r\n");
            if (!reader.line(line))
                return;
            channel.reply("235 accepted\r\n");
        } else if (startsWithNoCase(line, "DATA")) {
            channel.reply("354 go ahead\r\n");
            FILE* record = recordPath_.empty() ? nullptr : std::fopen(recordPath_.c_str(), "wb");
            recordPath_.clear();
            uint64_t bytes = 0;
            bool whole = reader.data(bytes, record);
            if (record != nullptr) {
                std::fflush(record);
                if (whole && ftruncate(fileno(record), static_cast<off_t>(bytes - 3)) != 0)
                    std::perror("record");
                std::fclose(record);
            }
            if (!whole)
                return;
            dataBytes_ += bytes - 3;
            ++messages_;
            channel.reply("250 discarded\r\n");
        } else if (startsWithNoCase(line, "QUIT")) {
            channel.reply("221 bye\r\n");
            return;
        } else {
            channel.reply("250 ok\r\n");
        }
    }
}
