#pragma once
// A local SMTP server that accepts any AUTH LOGIN and reads each message
// into nothing, as fast as it arrives. It serves one connection at a time
// on 127.0.0.1 until it is destroyed. Given a certificate and key, it
// offers STARTTLS and requires it before AUTH.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class DiscardSink {
public:
    explicit DiscardSink(const std::string& certificateFile = {}, const std::string& keyFile = {});
    ~DiscardSink();
    DiscardSink(const DiscardSink&) = delete;
    DiscardSink& operator=(const DiscardSink&) = delete;

    int port() const { return port_; }
    // Bytes of message data (up to the final ".") of all messages so far.
    uint64_t dataBytes() const { return dataBytes_; }
    uint64_t messages() const { return messages_; }
    // The next message's data, as received (still dot-stuffed), is also
    // written to `path`.
    void recordNextMessage(const std::string& path);

private:
    void run();
    void serve(int connection);

    struct ssl_ctx_st* tls_ = nullptr;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<uint64_t> dataBytes_{0};
    std::atomic<uint64_t> messages_{0};
    std::string recordPath_;
    std::thread thread_;
};
