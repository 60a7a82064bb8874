#include "faxcourier/net/testing/hostile_servers.h"

#include <openssl/bio.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>

#include <chrono>
#include <memory>
#include <string>

namespace korva::testing {
namespace {

using Clock = std::chrono::steady_clock;

struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};
using Session = std::unique_ptr<SSL, SslFree>;

// No wait of the server's own may outlast its give-up time.
void boundWaits(int fd, int giveUpMs)
{
    timeval receive{giveUpMs / 1000, (giveUpMs % 1000) * 1000};
    timeval send{0, 200 * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &receive, sizeof receive);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &send, sizeof send);
}

// Reads and drops what the client sends until it closes or `until` passes.
void waitForClientEnd(int fd, Clock::time_point until)
{
    char buffer[4096];
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
        pollfd readable{fd, POLLIN, 0};
        if (left <= 0 || poll(&readable, 1, int(left)) <= 0 || recv(fd, buffer, sizeof buffer, 0) <= 0)
            return;
    }
}

Session acceptTls(int fd, const ScriptedServer::TlsIdentity& identity, bool tls12Only)
{
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (context == nullptr)
        return nullptr;
    SSL_CTX_use_certificate_chain_file(context, identity.certificateFile.c_str());
    SSL_CTX_use_PrivateKey_file(context, identity.keyFile.c_str(), SSL_FILETYPE_PEM);
    // Session tickets would be the first records after the handshake.
    SSL_CTX_set_num_tickets(context, 0);
    if (tls12Only)
        SSL_CTX_set_max_proto_version(context, TLS1_2_VERSION);
    Session ssl(SSL_new(context));
    SSL_CTX_free(context);  // the session keeps its own reference
    if (!ssl || SSL_set_fd(ssl.get(), fd) != 1 || SSL_accept(ssl.get()) != 1)
        return nullptr;
    return ssl;
}

// The record is made in memory and only its first half goes out.
void sendHalfARecord(SSL* ssl, int fd, const std::string& text)
{
    BIO* memory = BIO_new(BIO_s_mem());
    SSL_set0_wbio(ssl, memory);
    if (SSL_write(ssl, text.data(), int(text.size())) <= 0)
        return;
    char* record = nullptr;
    long size = BIO_get_mem_data(memory, &record);
    send(fd, record, size_t(size / 2), MSG_NOSIGNAL);
}

void misbehave(Hostility hostility, SSL* ssl, int fd, Clock::time_point until)
{
    switch (hostility) {
        case Hostility::HalfRecordThenSilence:
            sendHalfARecord(ssl, fd, "220 korva ready\r\n");
            break;
        case Hostility::CloseNotifyMidLine:
            SSL_write(ssl, "220 korva re", 12);
            SSL_shutdown(ssl);
            break;
        case Hostility::EndlessLineInFullRecords: {
            const std::string record(16384, 'x');
            while (Clock::now() < until && SSL_write(ssl, record.data(), int(record.size())) > 0) {
            }
            break;
        }
        case Hostility::HelloRequestThenSilence:
            SSL_renegotiate(ssl);
            SSL_do_handshake(ssl);
            break;
        case Hostility::KeyUpdateThenSilence:
            SSL_key_update(ssl, SSL_KEY_UPDATE_REQUESTED);
            SSL_do_handshake(ssl);
            break;
    }
}

}  // namespace

ScriptedServer::Conversation hostileTls(Hostility hostility, ScriptedServer::TlsIdentity identity, int giveUpMs)
{
    return [hostility, identity, giveUpMs](int fd) {
        auto until = Clock::now() + std::chrono::milliseconds(giveUpMs);
        boundWaits(fd, giveUpMs);
        Session ssl = acceptTls(fd, identity, hostility == Hostility::HelloRequestThenSilence);
        if (!ssl)
            return;
        misbehave(hostility, ssl.get(), fd, until);
        waitForClientEnd(fd, until);
    };
}

ScriptedServer::Conversation endlessPlainLine(std::string piece, int giveUpMs)
{
    return [piece, giveUpMs](int fd) {
        auto until = Clock::now() + std::chrono::milliseconds(giveUpMs);
        boundWaits(fd, giveUpMs);
        while (Clock::now() < until && send(fd, piece.data(), piece.size(), MSG_NOSIGNAL) > 0) {
        }
        waitForClientEnd(fd, until);
    };
}

}  // namespace korva::testing
