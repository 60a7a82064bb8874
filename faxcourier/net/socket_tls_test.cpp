// Socket::StartTls against a TLS server on 127.0.0.1 with certificates made
// by the test: lines read as they do without TLS, and every refusal says why.

#include "faxcourier/net/testing/hostile_servers.h"
#include "faxcourier/net/testing/scripted_server.h"
#include "faxcourier/net/socket_client.h"
#include "faxcourier/net/socket_seam.h"
#include "faxcourier/net/test_certificates.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace korva {
namespace {

using std::chrono::milliseconds;
using testing::Hostility;
using testing::ScriptedServer;
using testing::TestCertificate;
using testing::TestCertificates;
using Clock = std::chrono::steady_clock;

// A wait that spins shows here; a wait in poll() does not.
milliseconds threadCpuTime()
{
    timespec used{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return milliseconds(used.tv_sec * 1000 + used.tv_nsec / 1000000);
}

// Every byte the client sends, until it closes (at most 5 s).
ScriptedServer::Conversation recordRaw(std::string& raw)
{
    return [&raw](int fd) {
        char buffer[4096];
        pollfd readable{fd, POLLIN, 0};
        ssize_t n = 0;
        while (poll(&readable, 1, 5000) > 0 && (n = recv(fd, buffer, sizeof buffer, 0)) > 0)
            raw.append(buffer, size_t(n));
    };
}

class SocketTls : public ::testing::Test {
protected:
    SocketTls() : certificates(home.path()) {}
    ~SocketTls() override { resetServerConversationAbort(); }

    ScriptedServer::TlsIdentity identity(TestCertificate which) const
    {
        return {certificates.certificateFile(which), certificates.keyFile(which)};
    }

    void connect(const ScriptedServer& server, const char* host = "127.0.0.1")
    {
        ASSERT_TRUE(socket.Create(10));
        ASSERT_TRUE(socket.Bind());
        ASSERT_TRUE(socket.Connect(host, unsigned(server.port())));
    }

    std::string readLine()
    {
        String line;
        EXPECT_TRUE(socket.ReadLine(line)) << socket.ErrorText().Text();
        return line.Text();
    }

    korva::testing::TempHome home;
    TestCertificates certificates;
    Socket socket;
};

TEST_F(SocketTls, LinesAndSendsGoThroughTlsAsTheyDoWithout)
{
    ScriptedServer server({ScriptedServer::tlsFirst("a\r\n\r\nb"), "250 ok"}, identity(TestCertificate::Good));
    connect(server);
    ASSERT_TRUE(socket.StartTls("127.0.0.1", certificates.caFile().c_str()));
    EXPECT_TRUE(socket.UsesTls());
    EXPECT_EQ(socket.TlsVersion(), "TLSv1.3");
    EXPECT_EQ(readLine(), "a");
    EXPECT_EQ(readLine(), "");
    EXPECT_EQ(readLine(), "b");
    // A long command in pieces, as a full socket takes it.
    korva::testing::ScopedSeam sendLimit(korva::socket_seam::setSendChunkLimit, 7000);
    std::string longLine(300000, 'x');
    ASSERT_TRUE(socket.SendString((longLine + "\r\n").c_str()));
    EXPECT_EQ(readLine(), "250 ok");
    socket.Close();
    EXPECT_EQ(server.lines(), std::vector<std::string>{longLine});
    EXPECT_EQ(server.receivedInClear(), "");
}

TEST_F(SocketTls, BytesSentBeforeTheHandshakeAreDropped)
{
    ScriptedServer server({"220 hi", ScriptedServer::thenTls("220 go\r\n250 injected"), "250 clean"},
                          identity(TestCertificate::Good));
    connect(server);
    EXPECT_EQ(readLine(), "220 hi");
    ASSERT_TRUE(socket.SendString("STARTTLS\r\n"));
    EXPECT_EQ(readLine(), "220 go");
    ASSERT_TRUE(socket.StartTls("127.0.0.1", certificates.caFile().c_str()));
    ASSERT_TRUE(socket.SendString("NOOP\r\n"));
    EXPECT_EQ(readLine(), "250 clean");
    socket.Close();
    EXPECT_EQ(server.receivedInClear(), "STARTTLS\r\n");
}

struct Refusal {
    const char* name;
    TestCertificate certificate;
    bool trustTestCa;
    const char* host;
    CertificateProblem problem;
};

class SocketTlsRefusal : public SocketTls, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SocketTlsRefusal, SaysWhyAndSendsNothingMore)
{
    const Refusal& refusal = GetParam();
    ScriptedServer server({ScriptedServer::tlsFirst("220 hi")}, identity(refusal.certificate));
    connect(server, refusal.host);
    EXPECT_FALSE(socket.StartTls(refusal.host, refusal.trustTestCa ? certificates.caFile().c_str() : nullptr));
    EXPECT_EQ(socket.LastError(), kSocketTlsRefused);
    EXPECT_EQ(socket.TlsProblem(), refusal.problem);
    EXPECT_FALSE(socket.UsesTls());
    EXPECT_FALSE(socket.SendString("AUTH LOGIN\r\n"));
    socket.Close();
    EXPECT_TRUE(server.tlsRefused());
    EXPECT_EQ(server.receivedAfterRefusal(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, SocketTlsRefusal,
    ::testing::Values(
        Refusal{"Untrusted", TestCertificate::Good, false, "127.0.0.1", CertificateProblem::NotTrusted},
        Refusal{"Expired", TestCertificate::Expired, true, "127.0.0.1", CertificateProblem::Expired},
        Refusal{"OtherAddress", TestCertificate::OtherHost, true, "127.0.0.1", CertificateProblem::OtherName},
        Refusal{"OtherName", TestCertificate::OtherHost, true, "localhost", CertificateProblem::OtherName}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST_F(SocketTls, AHostNameIsCheckedByName)
{
    ScriptedServer server({ScriptedServer::tlsFirst("220 hi")}, identity(TestCertificate::Good));
    connect(server, "localhost");
    ASSERT_TRUE(socket.StartTls("localhost", certificates.caFile().c_str()));
    EXPECT_EQ(readLine(), "220 hi");
    socket.Close();
}

TEST_F(SocketTls, APlainServerIsAFailedHandshakeNotACertificateProblem)
{
    ScriptedServer server({"220 plain text only"});
    connect(server);
    EXPECT_FALSE(socket.StartTls("127.0.0.1", certificates.caFile().c_str()));
    EXPECT_EQ(socket.LastError(), kSocketTlsRefused);
    EXPECT_EQ(socket.TlsProblem(), CertificateProblem::None);
    EXPECT_FALSE(socket.TlsDetail().empty());
    socket.Close();
}

TEST_F(SocketTls, ASilentServerTimesTheHandshakeOut)
{
    ScriptedServer server({ScriptedServer::kSilent});
    connect(server);
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 200);
    EXPECT_FALSE(socket.StartTls("127.0.0.1", nullptr));
    EXPECT_EQ(socket.LastError(), kSocketTimedOut);
    socket.Close();
}

TEST_F(SocketTls, AShutdownAbortsTheHandshakeAndTheReads)
{
    ScriptedServer server({ScriptedServer::tlsFirst(ScriptedServer::kSilent)}, identity(TestCertificate::Good));
    ScriptedServer silent({ScriptedServer::kSilent});
    connect(server);
    Socket other;
    ASSERT_TRUE(other.Create(10));
    ASSERT_TRUE(other.Connect("127.0.0.1", unsigned(silent.port())));
    ASSERT_TRUE(socket.StartTls("127.0.0.1", certificates.caFile().c_str()));
    abortServerConversations();
    String line;
    EXPECT_FALSE(socket.ReadLine(line));
    EXPECT_EQ(socket.LastError(), kSocketAborted);
    EXPECT_FALSE(other.StartTls("127.0.0.1", nullptr));
    EXPECT_EQ(other.LastError(), kSocketAborted);
    socket.Close();
    other.Close();
}

TEST_F(SocketTls, ASilentServerTimesAReadOutUnderTlsToo)
{
    ScriptedServer server({ScriptedServer::tlsFirst("220 no line end"), ScriptedServer::kSilent},
                          identity(TestCertificate::Good));
    connect(server);
    ASSERT_TRUE(socket.StartTls("127.0.0.1", certificates.caFile().c_str()));
    EXPECT_EQ(readLine(), "220 no line end");
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 200);
    String line;
    EXPECT_FALSE(socket.ReadLine(line));
    EXPECT_EQ(socket.LastError(), kSocketTimedOut);
    socket.Close();
}

// Each server ends the read with its own error, in time, and one that
// stalls costs no CPU while it is waited for.
TEST_F(SocketTls, AHostileServerEndsTheReadWithItsErrorInTime)
{
    struct Case {
        const char* name;
        Hostility hostility;
        int error;
        bool stalls;  // waits out the time-out
    };
    const Case cases[] = {
        {"half a record, then silence", Hostility::HalfRecordThenSilence, kSocketTimedOut, true},
        {"close_notify in the middle of a line", Hostility::CloseNotifyMidLine, kSocketPeerClosed, false},
        {"an endless line in records of the largest size", Hostility::EndlessLineInFullRecords, kSocketLineTooLong,
         false},
        {"a TLS 1.2 renegotiation request, then silence", Hostility::HelloRequestThenSilence, kSocketTimedOut, true},
        {"a TLS 1.3 key update request, then silence", Hostility::KeyUpdateThenSilence, kSocketTimedOut, true},
    };
    const milliseconds wait(1000);
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, int(wait.count()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(testing::hostileTls(c.hostility, identity(TestCertificate::Good)));
        Socket client;
        ASSERT_TRUE(client.Create(10) && client.Bind() && client.Connect("127.0.0.1", unsigned(server.port())));
        ASSERT_TRUE(client.StartTls("127.0.0.1", certificates.caFile().c_str()));
        auto started = Clock::now();
        milliseconds cpuBefore = threadCpuTime();
        String line;
        EXPECT_FALSE(client.ReadLine(line));
        auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - started);
        milliseconds cpu = threadCpuTime() - cpuBefore;
        EXPECT_EQ(client.LastError(), c.error);
        EXPECT_LT(took, c.stalls ? wait + milliseconds(1000) : wait);
        if (c.stalls) {
            EXPECT_GE(took, wait - milliseconds(50));
            EXPECT_LT(cpu, milliseconds(100)) << "of " << took.count() << " ms waiting";
        }
        client.Close();
    }
}

// A host that the certificate cannot be checked against, or that cannot go
// out as SNI, ends the start before the client says anything.
TEST_F(SocketTls, AHostThatCannotBeCheckedIsRefusedBeforeAnythingIsSent)
{
    const std::string hosts[] = {"", std::string(300, 'a') + ".example"};
    for (const std::string& host : hosts) {
        SCOPED_TRACE(host.size());
        std::string raw;
        {
            ScriptedServer server(recordRaw(raw));
            Socket client;
            ASSERT_TRUE(client.Create(10) && client.Bind() && client.Connect("127.0.0.1", unsigned(server.port())));
            EXPECT_FALSE(client.StartTls(host.c_str(), certificates.caFile().c_str()));
            EXPECT_EQ(client.LastError(), kSocketTlsRefused);
            EXPECT_FALSE(client.TlsDetail().empty());
            EXPECT_FALSE(client.SendString("AUTH LOGIN\r\n"));
            client.Close();
        }
        EXPECT_EQ(raw, "");
    }
}

}  // namespace
}  // namespace korva
