#include "faxcourier/net/testing/scripted_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace korva::testing {

namespace {

constexpr int kWaitMs = 60000;

void closeWithReset(int connection)
{
    linger option{1, 0};
    setsockopt(connection, SOL_SOCKET, SO_LINGER, &option, sizeof option);
    close(connection);
}

}  // namespace

ScriptedServer::ScriptedServer(std::vector<std::string> replies, TlsIdentity identity)
    : replies_(std::move(replies)), identity_(std::move(identity))
{
    bindLoopback();
    if (listen(listener_, 1) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    thread_ = std::thread([this] { run(); });
}

ScriptedServer::ScriptedServer(Conversation conversation, int listenDelayMs)
    : conversation_(std::move(conversation)), listenDelayMs_(listenDelayMs)
{
    bindLoopback();
    if (listenDelayMs_ == 0 && listen(listener_, 1) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    thread_ = std::thread([this] { run(); });
}

void ScriptedServer::bindLoopback()
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("cannot bind a port on 127.0.0.1");
    port_ = ntohs(address.sin_port);
}

ScriptedServer::~ScriptedServer()
{
    // A conversation of the test's own runs even when its client has gone.
    if (!conversation_)
        shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
}

void ScriptedServer::waitUntilDone(std::unique_lock<std::mutex>& lock)
{
    finished_.wait_for(lock, std::chrono::milliseconds(kWaitMs), [this] { return done_; });
}

std::vector<std::string> ScriptedServer::lines()
{
    std::unique_lock lock(mutex_);
    waitUntilDone(lock);
    return lines_;
}

size_t ScriptedServer::linesSoFar()
{
    std::lock_guard lock(mutex_);
    return lines_.size();
}

std::string ScriptedServer::received()
{
    std::unique_lock lock(mutex_);
    waitUntilDone(lock);
    return received_;
}

std::string ScriptedServer::receivedInClear()
{
    std::unique_lock lock(mutex_);
    waitUntilDone(lock);
    return received_.substr(0, clearBytes_);
}

bool ScriptedServer::tlsRefused()
{
    std::unique_lock lock(mutex_);
    waitUntilDone(lock);
    return tlsRefused_;
}

std::string ScriptedServer::receivedAfterRefusal()
{
    std::unique_lock lock(mutex_);
    waitUntilDone(lock);
    return afterRefusal_;
}

// The server's side of the handshake. After a refusal whatever the client
// still sends is kept apart, until it closes.
bool ScriptedServer::startTls(int connection)
{
    {
        std::lock_guard lock(mutex_);
        clearBytes_ = received_.size();
    }
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate_chain_file(context, identity_.certificateFile.c_str());
    SSL_CTX_use_PrivateKey_file(context, identity_.keyFile.c_str(), SSL_FILETYPE_PEM);
    tls_ = SSL_new(context);
    SSL_CTX_free(context);  // the session keeps its own reference
    SSL_set_fd(tls_, connection);
    if (SSL_accept(tls_) == 1)
        return true;
    char buffer[4096];
    pollfd waiting{connection, POLLIN, 0};
    ssize_t n = 0;
    while (poll(&waiting, 1, kWaitMs) > 0 && (n = recv(connection, buffer, sizeof buffer, 0)) > 0) {
        std::lock_guard lock(mutex_);
        afterRefusal_.append(buffer, static_cast<size_t>(n));
    }
    std::lock_guard lock(mutex_);
    tlsRefused_ = true;
    return false;
}

void ScriptedServer::run()
{
    if (listenDelayMs_ > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(listenDelayMs_));
        listen(listener_, 1);
    }
    pollfd waiting{listener_, POLLIN, 0};
    int connection = -1;
    if (poll(&waiting, 1, kWaitMs) > 0)
        connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0 && conversation_) {
        conversation_(connection);
        close(connection);
    } else if (connection >= 0) {
        converse(connection);
    }
    std::lock_guard lock(mutex_);
    done_ = true;
    finished_.notify_all();
}

void ScriptedServer::converse(int connection)
{
    size_t next = 0;
    bool inData = false;
    size_t dropAfter = 0;  // bytes of data after which to reset; 0: never
    std::string pending;
    auto transmit = [&](const std::string& text) {
        if (tls_ != nullptr)
            SSL_write(tls_, text.data(), static_cast<int>(text.size()));
        else
            send(connection, text.data(), text.size(), MSG_NOSIGNAL);
    };
    auto answer = [&]() -> bool {  // false: the connection is gone
        if (next >= replies_.size())
            return true;
        std::string reply = replies_[next++];
        if (reply.rfind("<after ", 0) == 0) {
            size_t end = reply.find('>');
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(reply.substr(7, end - 7))));
            reply.erase(0, end + 1);
        }
        bool tlsFirst = reply.rfind("<tls first>", 0) == 0;
        bool tlsAfter = reply.rfind("<then tls>", 0) == 0;
        if (tlsFirst || tlsAfter)
            reply.erase(0, reply.find('>') + 1);
        if (tlsFirst && !startTls(connection))
            return close(connection), false;
        if (reply == kDrop)
            return closeWithReset(connection), false;
        if (reply == kHangUp)
            return close(connection), false;
        if (reply == kSilent)
            return true;
        std::string text = reply == kDropInData ? "354 go ahead" : reply;
        if (reply == kDropInData)
            dropAfter = 64 * 1024;
        text += "\r\n";
        transmit(text);
        inData = text.rfind("354", 0) == 0;
        if (tlsAfter && !startTls(connection))
            return close(connection), false;
        return true;
    };
    // Decrypted bytes that wait inside the session are not seen by poll.
    auto receive = [&](char* buffer, size_t size) -> ssize_t {
        pollfd waiting{connection, POLLIN, 0};
        if (tls_ != nullptr && SSL_pending(tls_) == 0 && poll(&waiting, 1, kWaitMs) <= 0)
            return -1;
        if (tls_ != nullptr)
            return SSL_read(tls_, buffer, static_cast<int>(size));
        return poll(&waiting, 1, kWaitMs) > 0 ? recv(connection, buffer, size, 0) : -1;
    };
    struct SessionEnd {
        ssl_st*& tls;
        ~SessionEnd() { SSL_free(tls), tls = nullptr; }
    } sessionEnd{tls_};
    if (!answer())
        return;
    char buffer[65536];
    for (;;) {
        ssize_t n = receive(buffer, sizeof buffer);
        if (n <= 0)
            break;
        {
            std::lock_guard lock(mutex_);
            received_.append(buffer, static_cast<size_t>(n));
        }
        pending.append(buffer, static_cast<size_t>(n));
        if (inData && dropAfter != 0 && pending.size() >= dropAfter)
            return closeWithReset(connection);
        for (;;) {
            size_t end =
                inData ? (pending.rfind(".\r\n", 0) == 0 ? 0 : pending.find("\r\n.\r\n")) : pending.find("\r\n");
            if (end == std::string::npos)
                break;
            std::string line = pending.substr(0, end);
            pending.erase(0, end + (inData ? (end == 0 ? 3 : 5) : 2));
            if (inData && end != 0)
                line += "\r\n";
            {
                std::lock_guard lock(mutex_);
                lines_.push_back(line);
            }
            inData = false;
            if (!answer())
                return;
        }
    }
    close(connection);
}

}  // namespace korva::testing
