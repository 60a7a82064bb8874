#include "faxcourier/net/socket_client.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/net/conversation_abort.h"
#include "faxcourier/net/socket_seam.h"
#include "faxcourier/net/testing/hostile_servers.h"
#include "faxcourier/net/testing/scripted_server.h"
#include "platform/testing/poll_until.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using korva::Socket;
using korva::String;
using Clock = std::chrono::steady_clock;

namespace {

// A socket bound to 127.0.0.1 on a free port, listening or not.
class BoundPort {
public:
    BoundPort()
    {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("cannot bind a loopback port");
        port_ = ntohs(address.sin_port);
    }
    ~BoundPort()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    int fd() const { return fd_; }
    unsigned port() const { return port_; }

private:
    int fd_ = -1;
    unsigned port_ = 0;
};

using korva::testing::ScriptedServer;

void sendText(int fd, const std::string& text) { send(fd, text.data(), text.size(), MSG_NOSIGNAL); }

// Reads until the client closes (or resets) the connection.
std::string readUntilClosed(int fd)
{
    std::string received;
    char chunk[65536];
    ssize_t n;
    while ((n = recv(fd, chunk, sizeof chunk, 0)) > 0)
        received.append(chunk, size_t(n));
    return received;
}

int countOf(const std::string& text, const std::string& what)
{
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

long msSince(Clock::time_point start)
{
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class SocketTest : public ::testing::Test {
protected:
    void TearDown() override { korva::resetServerConversationAbort(); }

    bool connectTo(Socket& socket, unsigned port, const char* host = "127.0.0.1", uint32_t timeout = 30)
    {
        return socket.Create(timeout) && socket.Bind() && socket.Connect(host, port);
    }

    std::vector<std::string> readLines(const std::string& payload, int count)
    {
        ScriptedServer server([&](int fd) {
            sendText(fd, payload);
            readUntilClosed(fd);
        });
        Socket socket;
        EXPECT_TRUE(connectTo(socket, server.port()));
        std::vector<std::string> lines;
        String line;
        for (int i = 0; i < count && socket.ReadLine(line); ++i)
            lines.emplace_back(line.Text());
        socket.Close();
        return lines;
    }

    std::string log() { return korva::testing::readWholeFile(korva::logFilePath()); }

    korva::testing::TempHome home_;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST(SocketSettings, CommandsAreNotHeldBackForAnAcknowledgement)
{
    Socket socket;
    ASSERT_TRUE(socket.Create(60));
    int on = 0;
    socklen_t size = sizeof on;
    ASSERT_EQ(getsockopt(socket.Handle(), IPPROTO_TCP, TCP_NODELAY, &on, &size), 0);
    EXPECT_NE(on, 0);
}

TEST(SocketSettings, TimeOutIsKeptWithinTenToAnHour)
{
    Socket socket;
    ASSERT_TRUE(socket.Create(0));
    EXPECT_EQ(socket.TimeoutSeconds(), 10u);
    ASSERT_TRUE(socket.Create(9));
    EXPECT_EQ(socket.TimeoutSeconds(), 10u);
    ASSERT_TRUE(socket.Create(10));
    EXPECT_EQ(socket.TimeoutSeconds(), 10u);
    ASSERT_TRUE(socket.Create(600));
    EXPECT_EQ(socket.TimeoutSeconds(), 600u);
    ASSERT_TRUE(socket.Create(3601));
    EXPECT_EQ(socket.TimeoutSeconds(), 3600u);
    socket.SetSendTimeout(0);
    EXPECT_EQ(socket.TimeoutSeconds(), 3600u);
    socket.SetSendTimeout(1);
    EXPECT_EQ(socket.TimeoutSeconds(), 10u);
    socket.SetSendTimeout(4000);
    EXPECT_EQ(socket.TimeoutSeconds(), 3600u);
    timeval limit{};
    socklen_t size = sizeof limit;
    ASSERT_EQ(getsockopt(socket.Handle(), SOL_SOCKET, SO_SNDTIMEO, &limit, &size), 0);
    EXPECT_EQ(limit.tv_sec, 3600);
}

TEST(SocketSettings, TextsOfErrorAndPeer)
{
    Socket socket;
    EXPECT_STREQ(socket.PeerAddressText().Text(), "0.0.0.0");
    EXPECT_STREQ(socket.ErrorText().Text(), "0");
    EXPECT_FALSE(socket.ConnectAddress(htonl(0x7F000001), 1));  // not created: fails, but the peer is stored
    EXPECT_STREQ(socket.PeerAddressText().Text(), "127.0.0.1");
    EXPECT_EQ(socket.ErrorText(), std::to_string(socket.LastError()).c_str());
}

TEST_F(SocketTest, DottedAddressConnectsWithoutLookUpAndSetsTheSendTimeOut)
{
    ScriptedServer server([](int fd) { readUntilClosed(fd); });
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port(), "127.0.0.1", 0));
    EXPECT_EQ(socket.LastError(), 0);
    EXPECT_STREQ(socket.PeerAddressText().Text(), "127.0.0.1");
    EXPECT_EQ(log(), "Connect 1\n");
    timeval limit{};
    socklen_t size = sizeof limit;
    ASSERT_EQ(getsockopt(socket.Handle(), SOL_SOCKET, SO_SNDTIMEO, &limit, &size), 0);
    EXPECT_EQ(limit.tv_sec, 10);
}

TEST_F(SocketTest, NameIsLookedUpAndLogged)
{
    ScriptedServer server([](int fd) { readUntilClosed(fd); });
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port(), "localhost"));
    EXPECT_EQ(log(), "Connect 1\nConnect 2\nDNS of \"localhost\" = 0100007f\n");
}

TEST_F(SocketTest, DigitFirstHostThatIsNoAddressFailsWithoutLookUp)
{
    Socket socket;
    ASSERT_TRUE(socket.Create(10));
    EXPECT_FALSE(socket.Connect("1nvalid", 25));
    EXPECT_EQ(socket.LastError(), EINVAL);
    EXPECT_EQ(log(), "Connect 1\n");
}

TEST_F(SocketTest, EmptyHostNameIsNotFound)
{
    Socket socket;
    ASSERT_TRUE(socket.Create(10));
    EXPECT_FALSE(socket.Connect("", 25));
    EXPECT_EQ(socket.LastError(), korva::kSocketHostNotFound);
}

TEST_F(SocketTest, ConnectWithoutCreateFailsAtOnce)
{
    Socket socket;
    auto start = Clock::now();
    EXPECT_FALSE(socket.Connect("127.0.0.1", 25));
    EXPECT_EQ(socket.LastError(), EBADF);
    EXPECT_LT(msSince(start), 200);
    EXPECT_EQ(countOf(log(), "Retrying"), 0);
}

TEST_F(SocketTest, RefusedPortIsRetriedForAboutASecond)
{
    BoundPort closedPort;  // bound, never listening: connections are refused
    Socket socket;
    ASSERT_TRUE(socket.Create(10));
    auto start = Clock::now();
    EXPECT_FALSE(socket.Connect("127.0.0.1", closedPort.port()));
    long elapsed = msSince(start);
    EXPECT_EQ(socket.LastError(), ECONNREFUSED);
    EXPECT_GE(elapsed, 1000);
    EXPECT_LT(elapsed, 2500);
    std::string retry = "Retrying connection to 0100007f (" + std::to_string(ECONNREFUSED) + ")\n";
    int retries = countOf(log(), retry);
    EXPECT_GE(retries, 4) << log();
    EXPECT_LE(retries, 5) << log();
}

TEST_F(SocketTest, ServerThatStartsListeningLateIsReachedByARetry)
{
    ScriptedServer server(
        [](int fd) {
            sendText(fd, "220 late\r\n");
            readUntilClosed(fd);
        },
        400);
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port()));
    EXPECT_GE(countOf(log(), "Retrying connection to 0100007f"), 1);
    String line;
    ASSERT_TRUE(socket.ReadLine(line));
    EXPECT_STREQ(line.Text(), "220 late");
}

TEST_F(SocketTest, TwoLinesFromOneReceive)
{
    korva::testing::ScopedSeam debugLogging(korva::setDebugLogging, true);
    ScriptedServer server([](int fd) {
        sendText(fd, "220 hi\r\n250 x\r\n");
        readUntilClosed(fd);
    });
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port()));
    String line;
    ASSERT_TRUE(socket.ReadLine(line));
    EXPECT_STREQ(line.Text(), "220 hi");
    ASSERT_TRUE(socket.ReadLine(line));
    EXPECT_STREQ(line.Text(), "250 x");
    EXPECT_EQ(log(),
              "Connect 1\n"
              "ReadLine done after 1 receives (6 bytes): 220 hi\n"
              "ReadLine done after 0 receives (5 bytes): 250 x\n");
}

TEST_F(SocketTest, ReceivesInChunksOf128BytesAndLogsTheLineCut)
{
    korva::testing::ScopedSeam debugLogging(korva::setDebugLogging, true);
    std::string longLine(300, 'L');
    ScriptedServer server([&](int fd) {
        sendText(fd, longLine + "\r\n");
        readUntilClosed(fd);
    });
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port()));
    String line;
    ASSERT_TRUE(socket.ReadLine(line));
    EXPECT_EQ(std::string(line.Text()), longLine);
    std::string logged =
        "ReadLine done after 3 receives (300 bytes): " + std::string(Socket::kLoggedReplyLength, 'L') + "\n";
    EXPECT_EQ(log(), "Connect 1\n" + logged);
}

// A line that drips in and never ends is cut off by the time-out of the
// whole line, with one bounded entry in the debug log.
TEST_F(SocketTest, LineThatNeverEndsIsCutOffAtTheTimeOut)
{
    ScriptedServer server([](int fd) {
        auto stop = Clock::now() + std::chrono::seconds(20);  // the old code would read forever
        while (Clock::now() < stop && send(fd, "d", 1, MSG_NOSIGNAL) > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 1000);
    korva::testing::ScopedSeam debugLogging(korva::setDebugLogging, true);
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port()));
    String line;
    auto start = Clock::now();
    EXPECT_FALSE(socket.ReadLine(line));
    long elapsed = msSince(start);
    EXPECT_EQ(socket.LastError(), korva::kSocketTimedOut);
    EXPECT_GE(elapsed, 950);
    EXPECT_LT(elapsed, 5000);  // far below the server's 20 s
    socket.Close();
    std::string written = log();
    EXPECT_EQ(countOf(written, "ReadLine failed"), 1) << written.substr(0, 2000);
    EXPECT_LT(written.size(), 1500u);
}

TEST_F(SocketTest, BytesAlreadyReceivedAreReadAfterTheTimeOut)
{
    const std::string line(300, 'r');
    const std::string bytes = line + "\r\n354 go\r\n";
    ScriptedServer server([&](int fd) {
        sendText(fd, bytes);
        readUntilClosed(fd);
    });
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port()));
    for (int pending = 0; size_t(pending) < bytes.size();) {
        ASSERT_EQ(ioctl(socket.Handle(), FIONREAD, &pending), 0);
    }
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 0);
    String got;
    ASSERT_TRUE(socket.ReadLine(got));
    EXPECT_EQ(std::string(got.Text()), line);
    ASSERT_TRUE(socket.ReadLine(got));
    EXPECT_STREQ(got.Text(), "354 go");
    EXPECT_FALSE(socket.ReadLine(got));
    EXPECT_EQ(socket.LastError(), korva::kSocketTimedOut);
}

// SMTP and POP3 replies alike hold at most 512 bytes with their CR LF; a
// longer line ends the read at once, not at the time-out.
TEST_F(SocketTest, ALineLongerThanAReplyMayBeEndsTheReadAtOnce)
{
    struct Case {
        const char* name;
        ScriptedServer::Conversation server;
        bool fits;
    };
    auto sends = [](const std::string& bytes) {
        return [bytes](int fd) {
            sendText(fd, bytes);
            readUntilClosed(fd);
        };
    };
    const std::string longest(510, 'k');
    const Case cases[] = {
        {"510 bytes and CR LF", sends(longest + "\r\n"), true},
        {"511 bytes and CR LF", sends(longest + "k\r\n"), false},
        {"an endless line at full speed", korva::testing::endlessPlainLine(std::string(64 * 1024, 'e')), false},
    };
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 2000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(c.server);
        Socket socket;
        ASSERT_TRUE(connectTo(socket, server.port()));
        String line;
        auto start = Clock::now();
        EXPECT_EQ(socket.ReadLine(line).ok(), c.fits);
        EXPECT_LT(msSince(start), 1000);
        if (c.fits)
            EXPECT_EQ(std::string(line.Text()), longest);
        else
            EXPECT_EQ(socket.LastError(), korva::kSocketLineTooLong);
        socket.Close();
    }
}

TEST_F(SocketTest, EveryKindOfLineEnd)
{
    EXPECT_EQ(readLines("one\ntwo\n", 2), (Lines{"one", "two"}));
    EXPECT_EQ(readLines("one\rtwo\r", 2), (Lines{"one", "two"}));
    EXPECT_EQ(readLines("250 ok\r\n354 go\r\n", 2), (Lines{"250 ok", "354 go"}));
    EXPECT_EQ(readLines("one\n\rtwo\n\r", 2), (Lines{"one", "two"}));
    EXPECT_EQ(readLines("a\r\n\r\nb\r\n", 3), (Lines{"a", "", "b"}));
    EXPECT_EQ(readLines("a\n\n\nb\n", 4), (Lines{"a", "", "", "b"}));
    EXPECT_EQ(readLines("a\n\r\n\rb\n\r", 3), (Lines{"a", "", "b"}));
    EXPECT_EQ(readLines("a\r\rb\r", 3), (Lines{"a", "", "b"}));
}

TEST_F(SocketTest, ASendForgetsTheLastLineEnd)
{
    // After "a" CR and a command, a CR at the start of the reply is taken as
    // the second half of a pair, not as an empty line.
    ScriptedServer server([](int fd) {
        sendText(fd, "a\r");
        char go[8];
        recv(fd, go, sizeof go, 0);
        sendText(fd, "\rb\r");
        readUntilClosed(fd);
    });
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port()));
    String line;
    ASSERT_TRUE(socket.ReadLine(line));
    EXPECT_STREQ(line.Text(), "a");
    ASSERT_TRUE(socket.SendString("go\r\n"));
    ASSERT_TRUE(socket.ReadLine(line));
    EXPECT_STREQ(line.Text(), "b");
    // Without a send in between the same bytes give an empty line first.
    EXPECT_EQ(readLines("a\r\rb\r", 3), (Lines{"a", "", "b"}));
}

TEST_F(SocketTest, PeerThatClosesWithoutSending)
{
    korva::testing::ScopedSeam debugLogging(korva::setDebugLogging, true);
    ScriptedServer server([](int) {});
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port()));
    String line("stale");
    auto start = Clock::now();
    EXPECT_FALSE(socket.ReadLine(line));
    long elapsed = msSince(start);
    EXPECT_EQ(socket.LastError(), korva::kSocketPeerClosed);
    EXPECT_STREQ(socket.ErrorText().Text(), "10503");
    EXPECT_STREQ(line.Text(), "");
    EXPECT_GE(elapsed, 900);
    EXPECT_LT(elapsed, 3000);
    std::string written = log();
    EXPECT_EQ(countOf(written, "ReadLine failed after 10 receives (0 bytes): \n"), 1) << written;
    EXPECT_EQ(countOf(written, "No more data during Socket::GetByte (addr:127.0.0.1)\n"), 1);
}

TEST_F(SocketTest, PartOfALineBeforeThePeerClosesStaysInTheLine)
{
    ScriptedServer server([](int fd) { sendText(fd, "220 cut"); });
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port()));
    String line;
    EXPECT_FALSE(socket.ReadLine(line));
    EXPECT_STREQ(line.Text(), "220 cut");
    EXPECT_EQ(socket.LastError(), korva::kSocketPeerClosed);
}

TEST_F(SocketTest, SilentPeerTimesOut)
{
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 150);
    ScriptedServer server([](int fd) { readUntilClosed(fd); });
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port()));
    String line;
    auto start = Clock::now();
    EXPECT_FALSE(socket.ReadLine(line));
    EXPECT_LT(msSince(start), 2000);
    EXPECT_EQ(socket.LastError(), korva::kSocketTimedOut);
    EXPECT_STREQ(socket.ErrorText().Text(), "10060");
    std::string written = log();
    EXPECT_EQ(countOf(written, "SELECT TIMEOUT!!!!\n"), 1) << written;
    EXPECT_EQ(countOf(written, "Socket Error during Socket::GetByte - 10060 (addr:127.0.0.1)\n"), 1) << written;
}

// The one test that waits the real minimum time-out.
TEST_F(SocketTest, SilentPeerIsGivenTenSecondsAtLeast)
{
    ScriptedServer server([](int fd) { readUntilClosed(fd); });
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port(), "127.0.0.1", 1));
    String line;
    auto start = Clock::now();
    EXPECT_FALSE(socket.ReadLine(line));
    long elapsed = msSince(start);
    EXPECT_GE(elapsed, 9990);
    EXPECT_LT(elapsed, 13000);
    EXPECT_EQ(socket.LastError(), korva::kSocketTimedOut);
}

TEST_F(SocketTest, LargeTextIsSentWhole)
{
    std::string text;
    for (int i = 0; text.size() < 8u * 1024 * 1024; ++i)
        text += "line " + std::to_string(i) + " of a large fax attachment ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n";
    std::string received;
    {
        ScriptedServer server([&](int fd) {
            // Let the sender fill the buffers before anything is read.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            received = readUntilClosed(fd);
        });
        Socket socket;
        ASSERT_TRUE(connectTo(socket, server.port()));
        ASSERT_TRUE(socket.SendString(text.c_str()));
        EXPECT_EQ(socket.LastError(), 0);
        shutdown(socket.Handle(), SHUT_WR);
        // Wait for the reader before the aborting close.
        char nothing;
        recv(socket.Handle(), &nothing, 1, 0);
    }
    EXPECT_EQ(received.size(), text.size());
    EXPECT_TRUE(received == text);
}

TEST_F(SocketTest, SendsThatTakeOnlyPartAreContinued)
{
    korva::testing::ScopedSeam sendLimit(korva::socket_seam::setSendChunkLimit, 1000);
    std::string text(100000, 'p');
    text += "END";
    std::string received;
    {
        ScriptedServer server([&](int fd) {
            while (received.size() < text.size()) {
                char chunk[4096];
                ssize_t n = recv(fd, chunk, sizeof chunk, 0);
                if (n <= 0)
                    break;
                received.append(chunk, size_t(n));
            }
            sendText(fd, "250 got it\r\n");
            readUntilClosed(fd);
        });
        Socket socket;
        ASSERT_TRUE(connectTo(socket, server.port()));
        ASSERT_TRUE(socket.SendString(text.c_str()));
        String line;
        ASSERT_TRUE(socket.ReadLine(line));
        EXPECT_STREQ(line.Text(), "250 got it");
    }
    EXPECT_TRUE(received == text);
}

TEST_F(SocketTest, SendFormattedUsesATenThousandCharacterBuffer)
{
    std::string huge(20000, 'h');
    std::string received;
    {
        ScriptedServer server([&](int fd) { received = readUntilClosed(fd); });
        Socket socket;
        ASSERT_TRUE(connectTo(socket, server.port()));
        ASSERT_TRUE(socket.SendFormatted("RCPT TO:<%s@%s>\r\n", "fax", "example.com"));
        ASSERT_TRUE(socket.SendFormatted("%s", huge.c_str()));
        shutdown(socket.Handle(), SHUT_WR);
        char nothing;
        recv(socket.Handle(), &nothing, 1, 0);
    }
    EXPECT_EQ(received, "RCPT TO:<fax@example.com>\r\n" + std::string(9999, 'h'));
}

TEST_F(SocketTest, SendToAResetPeerFailsAndIsLogged)
{
    {
        std::atomic<bool> connected{false};
        ScriptedServer server([&connected](int fd) {
            // Reset only once the client has seen its connection made: a
            // reset during the connect would be retried as a refusal.
            EXPECT_TRUE(korva::testing::pollUntil([&connected] { return connected.load(); }));
            linger abort{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        });
        Socket socket;
        ASSERT_TRUE(connectTo(socket, server.port()));
        connected = true;
        pollfd hangup{socket.Handle(), POLLIN, 0};
        ASSERT_EQ(poll(&hangup, 1, 5000), 1);  // the reset has arrived
        bool sent = true;
        for (int i = 0; i < 3 && sent; ++i)
            sent = socket.SendString("QUIT\r\n").ok();
        EXPECT_FALSE(sent);
        EXPECT_TRUE(socket.LastError() == ECONNRESET || socket.LastError() == EPIPE) << socket.LastError();
        std::string expected =
            "Socket Error during Socket::SendString - " + std::to_string(socket.LastError()) + " (addr:127.0.0.1)\n";
        EXPECT_EQ(countOf(log(), expected), 1) << log();
    }
}

TEST_F(SocketTest, CloseAbortsTheConnection)
{
    int serverError = 0;
    ssize_t serverResult = 0;
    {
        ScriptedServer server([&](int fd) {
            char byte;
            serverResult = recv(fd, &byte, 1, 0);
            serverError = errno;
        });
        Socket socket;
        ASSERT_TRUE(connectTo(socket, server.port()));
        socket.Close();
        EXPECT_FALSE(socket.IsOpen());
        EXPECT_EQ(socket.LastError(), 0);
        // A closed socket fails at once instead of waiting for data.
        String line;
        auto start = Clock::now();
        EXPECT_FALSE(socket.ReadLine(line));
        EXPECT_LT(msSince(start), 1000);
        EXPECT_EQ(socket.LastError(), EBADF);
    }
    EXPECT_EQ(serverResult, -1);
    EXPECT_EQ(serverError, ECONNRESET);
}

namespace {

// Calls abortServerConversations() from another thread once the thread
// that made it waits.
class AbortLater {
public:
    AbortLater()
        : thread_([waiter = ::gettid()] {
              EXPECT_TRUE(korva::testing::pollUntil([waiter] { return korva::testing::isBlocked(waiter); }));
              korva::abortServerConversations();
          })
    {
    }
    ~AbortLater() { thread_.join(); }

private:
    std::thread thread_;
};

// A port whose accept queue is full: a further connection is never
// answered and its connect waits.
class FullListener {
public:
    FullListener()
    {
        listen(port_.fd(), 0);
        filler_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(uint16_t(port_.port()));
        connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        pollfd connected{filler_, POLLOUT, 0};
        poll(&connected, 1, 2000);
    }
    ~FullListener() { close(filler_); }
    unsigned port() const { return port_.port(); }

private:
    BoundPort port_;
    int filler_ = -1;
};

}  // namespace

TEST_F(SocketTest, AbortEndsEveryKindOfWaitAtOnce)
{
    struct Case {
        const char* name;
        std::function<korva::Result<void>(Socket&, unsigned port)> wait;
        bool serverAccepts;
    };
    const std::string huge(16 * 1024 * 1024, 'h');
    const Case cases[] = {
        {"reply",
         [](Socket& s, unsigned) {
             String line;
             return s.ReadLine(line);
         },
         true},
        {"send to a server that reads nothing", [&](Socket& s, unsigned) { return s.SendString(huge.c_str()); }, true},
        {"connect to a server that never answers",
         [](Socket& s, unsigned port) { return s.Connect("127.0.0.1", port); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        korva::resetServerConversationAbort();
        std::unique_ptr<ScriptedServer> server;
        std::unique_ptr<FullListener> full;
        Socket socket;
        if (c.serverAccepts) {
            server = std::make_unique<ScriptedServer>([](int fd) {
                pollfd closed{fd, POLLRDHUP, 0};
                poll(&closed, 1, 5000);
            });
            ASSERT_TRUE(connectTo(socket, server->port()));
        } else {
            full = std::make_unique<FullListener>();
            ASSERT_TRUE(socket.Create(30) && socket.Bind());
        }
        auto start = Clock::now();
        {
            AbortLater abort;
            EXPECT_FALSE(c.wait(socket, c.serverAccepts ? server->port() : full->port()));
        }
        EXPECT_EQ(socket.LastError(), korva::kSocketAborted);
        EXPECT_LT(msSince(start), 1000);
        EXPECT_TRUE(korva::serverConversationsAborted());
        socket.Close();
    }
}

// The reply that says whether the server took a message is still read after
// a shutdown abort, but only within the grace.
TEST_F(SocketTest, ReadThroughAbortTakesALateReplyWithinTheGraceOnly)
{
    struct Case {
        const char* name;
        int replyAfterMs;  // -1: never
        bool abortedBefore;
        bool taken;
    };
    const Case cases[] = {
        {"reply 300 ms after the abort", 300, false, true},
        {"aborted before the read began", 200, true, true},
        {"no reply within the grace", -1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        korva::resetServerConversationAbort();
        ScriptedServer server([&c](int fd) {
            if (c.replyAfterMs >= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(c.replyAfterMs));
                sendText(fd, "250 queued\r\n");
            }
            readUntilClosed(fd);
        });
        Socket socket;
        ASSERT_TRUE(connectTo(socket, server.port()));
        if (c.abortedBefore)
            korva::abortServerConversations();
        auto start = Clock::now();
        String line;
        {
            AbortLater abort;
            EXPECT_EQ(socket.ReadLineThroughAbort(line, std::chrono::milliseconds(1500)).ok(), c.taken);
        }
        EXPECT_EQ(std::string(line.Text()), c.taken ? "250 queued" : "");
        if (!c.taken) {
            EXPECT_EQ(socket.LastError(), korva::kSocketAborted);
            EXPECT_LT(msSince(start), 5000) << "the grace, not the 30 s time-out";
        }
        // Every other wait still ends at once.
        EXPECT_FALSE(socket.ReadLine(line));
        EXPECT_EQ(socket.LastError(), korva::kSocketAborted);
        socket.Close();
    }
    korva::resetServerConversationAbort();
}

TEST_F(SocketTest, AbortHoldsUntilResetAndThenConversationsWorkAgain)
{
    korva::abortServerConversations();
    korva::abortServerConversations();  // twice is as once
    {
        FullListener full;
        Socket socket;
        auto start = Clock::now();
        EXPECT_FALSE(connectTo(socket, full.port()));
        EXPECT_EQ(socket.LastError(), korva::kSocketAborted);
        EXPECT_LT(msSince(start), 200);
    }
    korva::resetServerConversationAbort();
    EXPECT_FALSE(korva::serverConversationsAborted());
    ScriptedServer server([](int fd) {
        sendText(fd, "220 hi\r\n");
        readUntilClosed(fd);
    });
    Socket socket;
    ASSERT_TRUE(connectTo(socket, server.port()));
    String line;
    ASSERT_TRUE(socket.ReadLine(line));
    EXPECT_STREQ(line.Text(), "220 hi");
}
