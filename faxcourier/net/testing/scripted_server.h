#pragma once
// A server on 127.0.0.1 for tests of the server conversations: it accepts
// one connection and answers from a script. Reply 0 greets; reply i answers
// the i-th line from the client. After a reply that starts with "354" the
// message data, up to its lone ".", counts as one line.
//
// Special replies: kDrop closes the connection at once with a reset,
// kHangUp closes it in order, kSilent answers nothing and keeps reading;
// after() delays a reply.
// Once the script is used up the server only reads until the client closes.
//
// With a TLS identity, thenTls() and tlsFirst() replies take the server's
// side of a TLS handshake; a refused handshake ends the script, and the
// server then only records what still arrives.
//
// A test that needs other bytes than replies gives a conversation of its
// own instead of a script.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ssl_st;

namespace korva::testing {

class ScriptedServer {
public:
    static constexpr const char* kDrop = "<drop>";
    static constexpr const char* kHangUp = "<hang up>";
    static constexpr const char* kSilent = "<silent>";
    // As a reply to the DATA line: "354", then a reset after the first
    // 64 KiB of message data.
    static constexpr const char* kDropInData = "<354, then drop in the data>";

    // `reply` sent only after `ms` milliseconds: a slow server.
    static std::string after(int ms, const std::string& reply) { return "<after " + std::to_string(ms) + ">" + reply; }

    // `reply`, then the TLS handshake (as after STARTTLS or STLS).
    static std::string thenTls(const std::string& reply) { return "<then tls>" + reply; }
    // The TLS handshake, then `reply`: as reply 0, TLS from the first byte.
    static std::string tlsFirst(const std::string& reply) { return "<tls first>" + reply; }

    struct TlsIdentity {
        std::string certificateFile;
        std::string keyFile;
    };

    explicit ScriptedServer(std::vector<std::string> replies, TlsIdentity identity = {});

    // Runs `conversation` on the one connection, which is closed when it
    // returns. With `listenDelayMs` the port only listens that much later.
    using Conversation = std::function<void(int connection)>;
    explicit ScriptedServer(Conversation conversation, int listenDelayMs = 0);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int port() const { return port_; }

    // What the client sent, once the conversation has ended: its lines
    // without CR LF, the message data as one entry (still dot-stuffed,
    // without the final ".\r\n").
    std::vector<std::string> lines();
    // How many of those lines have come so far, without waiting for the end.
    size_t linesSoFar();
    // Every byte the client sent (decrypted under TLS).
    std::string received();
    // What the client sent before a TLS handshake began: all of it when
    // none did.
    std::string receivedInClear();
    // Whether the client broke off the handshake, and what it sent after.
    bool tlsRefused();
    std::string receivedAfterRefusal();

private:
    void bindLoopback();
    void run();
    void converse(int connection);
    bool startTls(int connection);
    void waitUntilDone(std::unique_lock<std::mutex>& lock);

    std::vector<std::string> replies_;
    Conversation conversation_;
    int listenDelayMs_ = 0;
    int listener_ = -1;
    int port_ = 0;
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::vector<std::string> lines_;
    std::string received_;
    TlsIdentity identity_;
    ::ssl_st* tls_ = nullptr;
    size_t clearBytes_ = std::string::npos;  // npos: no handshake began
    bool tlsRefused_ = false;
    std::string afterRefusal_;
    std::thread thread_;
};

}  // namespace korva::testing
