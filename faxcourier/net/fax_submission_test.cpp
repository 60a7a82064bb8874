#include "faxcourier/net/fax_submission.h"

#include "faxcourier/foundation/server_error.h"
#include "faxcourier/foundation/server_error_capture.h"
#include "faxcourier/net/conversation_abort.h"
#include "faxcourier/net/message_stamp.h"
#include "faxcourier/net/testing/scripted_server.h"
#include "faxcourier/net/socket_seam.h"
#include "platform/testing/poll_until.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"
#include "platform/translation.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace korva {
namespace {

using testing::ScriptedServer;

std::vector<std::string> goodReplies()
{
    return {"220 korva ready", "250 hello",  "334 VXNlcm5hbWU6", "334 UGFzc3dvcmQ6", "235 welcome",
            "250 sender ok",   "250 fax ok", "354 go ahead",     "250 queued",       "221 bye"};
}

std::string base64(const std::string& bytes)
{
    String text;
    text.EncodeBase64(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return text.Text();
}

bool allDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

class FaxSubmission : public ::testing::Test {
protected:
    FaxSubmission()
    {
        settings.Server = "127.0.0.1";
        settings.Username = "anna";
        settings.Password = "pw";
        settings.EmailAddress = "anna@example.com";
        settings.FaxAddress = "fax@example.com";
        settings.RealName = "Anna Alt";
        settings.Company = "Alt & Co";
        settings.PhoneNumber = "+49 30 1";
        settings.FaxNumber = "+49 30 2";
        job.subject = "Figures";
        job.coverPage = "urgent";
        job.recipients = {"0301 555~Berta Blau~Blau KG", "0402 666~Carl Cyan~"};
        job.comments = "first line\r\nsecond line";
    }

    FaxDocument document(const std::string& name, const std::string& content)
    {
        std::string path = home.path() + "/" + name;
        testing::writeWholeFile(path, content);
        FaxDocument doc;
        doc.file = path.c_str();
        doc.pages = 1;
        return doc;
    }

    // Runs one submission against a server with `replies`; returns what the
    // server received, line by line.
    std::vector<std::string> submit(std::vector<std::string> replies, bool expected)
    {
        ScriptedServer server(std::move(replies));
        settings.SMTPServerPort = static_cast<uint32_t>(server.port());
        EXPECT_EQ(SubmitFax(nullptr, documents, job, settings), expected);
        return server.lines();
    }

    // The single box of a failed submission.
    void expectBox(const std::string& message, const std::string& context, const std::string& detail)
    {
        ASSERT_EQ(errors.boxes().size(), 1u);
        const ServerErrorBox box = errors.boxes().at(0);
        EXPECT_EQ(box.caption, "KORVA Fax Printer");
        EXPECT_EQ(box.message, message);
        EXPECT_EQ(box.context, context);
        EXPECT_EQ(box.detail, detail);
        EXPECT_EQ(box.text, message + "\n" + context + "\n" + detail);
    }

    testing::TempHome home;
    CapturedServerErrors errors;
    Settings settings;
    FaxJob job;
    std::vector<FaxDocument> documents;
};

TEST_F(FaxSubmission, WholeConversationAndMessageLayout)
{
    documents = {document("a.tif", std::string(58, '\x5a'))};
    FixedMessageStamp stamp({"Thu, 01 Jan 1970 00:00:00 +0000", "<1@example.com>"});
    std::vector<std::string> lines = submit(goodReplies(), true);
    EXPECT_TRUE(errors.boxes().empty());
    std::string line76;
    for (int i = 0; i < 19; ++i)
        line76 += "Wlpa";
    const std::string message =
        "Subject: Figures\r\n"
        "From: \"Anna Alt\" <anna@example.com>\r\n"
        "To: fax@example.com\r\n"
        "Date: Thu, 01 Jan 1970 00:00:00 +0000\r\n"
        "Message-ID: <1@example.com>\r\n"
        "MIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"----=_KORVAFaxBoundary\"\r\n"
        "\r\n"
        "------=_KORVAFaxBoundary\r\n"
        "Content-Type: text/plain\r\n"
        "\r\n"
        "~~RealName~Anna Alt\r\n"
        "~~Company~Alt & Co\r\n"
        "~~PhoneNumber~+49 30 1\r\n"
        "~~FaxNumber~+49 30 2\r\n"
        "~~CoverPage~urgent\r\n"
        "~0301 555~Berta Blau~Blau KG\r\n"
        "~0402 666~Carl Cyan~\r\n"
        "first line\r\n"
        "second line\r\n"
        "------=_KORVAFaxBoundary\r\n"
        "Content-Type: x-application/korvafax\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment; filename=\"korvafax_1.fmf\"\r\n"
        "\r\n" +
        line76 + "\r\nWg==\r\n" + "------=_KORVAFaxBoundary--\r\n";
    const std::vector<std::string> expected = {"HELO korvafax",
                                               "AUTH LOGIN",
                                               base64("anna"),
                                               base64("pw"),
                                               "MAIL FROM:<anna@example.com>",
                                               "RCPT TO:<fax@example.com>",
                                               "DATA",
                                               message,
                                               "QUIT"};
    EXPECT_EQ(lines, expected);
}

TEST_F(FaxSubmission, NoRealNameMeansNoRealNameLineAndABareFrom)
{
    settings.RealName.Clear();
    std::vector<std::string> lines = submit(goodReplies(), true);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[7].find("~~RealName~"), std::string::npos);
    EXPECT_NE(lines[7].find("\r\nFrom: anna@example.com\r\n"), std::string::npos);
    EXPECT_NE(lines[7].find("\r\n~~Company~Alt & Co\r\n"), std::string::npos);
}

TEST_F(FaxSubmission, ThreeRecipientsTravelInOneMessageToTheFaxAddress)
{
    job.recipients.push_back("0503 777~Dora Dunkel~Dunkel AG");
    std::vector<std::string> lines = submit(goodReplies(), true);
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("MAIL FROM", 0) == 0; }),
        1);
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("RCPT TO", 0) == 0; }), 1);
    EXPECT_EQ(lines[5], "RCPT TO:<fax@example.com>");
    EXPECT_NE(lines[7].find("~~CoverPage~urgent\r\n~0301 555~Berta Blau~Blau KG\r\n~0402 666~Carl Cyan~\r\n"
                            "~0503 777~Dora Dunkel~Dunkel AG\r\nfirst line\r\n"),
              std::string::npos);
}

TEST_F(FaxSubmission, TwoDocumentsAreNumberedOneAndThree)
{
    std::string first(114, 'q'), second;
    for (int i = 0; i < 300; ++i)
        second.push_back(static_cast<char>(i));
    documents = {document("1.tif", first), document("2.tif", second)};
    std::vector<std::string> lines = submit(goodReplies(), true);
    ASSERT_EQ(lines.size(), 9u);
    const std::string& data = lines[7];
    size_t one = data.find("filename=\"korvafax_1.fmf\"\r\n\r\n");
    size_t three = data.find("filename=\"korvafax_3.fmf\"\r\n\r\n");
    ASSERT_NE(one, std::string::npos);
    ASSERT_NE(three, std::string::npos);
    EXPECT_EQ(data.find("korvafax_2.fmf"), std::string::npos);
    // 114 bytes: two full lines and one empty line, then the next part.
    std::string body = data.substr(data.find("\r\n\r\n", one) + 4);
    EXPECT_EQ(body.substr(0, 78 * 2 + 2 + 26),
              base64(first.substr(0, 57)) + "\r\n" + base64(first.substr(57)) + "\r\n\r\n------=_KORVAFaxBoundary\r\n");
    std::string expectedSecond;
    for (size_t at = 0; at < second.size(); at += 57)
        expectedSecond += base64(second.substr(at, 57)) + "\r\n";
    EXPECT_NE(data.find("korvafax_3.fmf\"\r\n\r\n" + expectedSecond + "------=_KORVAFaxBoundary--\r\n"),
              std::string::npos);
}

TEST_F(FaxSubmission, CommentWithCrLfAndTrailingBlankLines)
{
    job.comments = "one\r\ntwo\r\n\r\n \r\n\t\r\n";
    std::vector<std::string> lines = submit(goodReplies(), true);
    EXPECT_NE(lines[7].find("~0402 666~Carl Cyan~\r\none\r\ntwo\r\n------=_KORVAFaxBoundary--\r\n"), std::string::npos);
    EXPECT_STREQ(job.comments.Text(), "one\r\ntwo");
}

TEST_F(FaxSubmission, CommentOfBlanksSendsNoCommentLines)
{
    job.comments = " \t \r\n  ";
    std::vector<std::string> lines = submit(goodReplies(), true);
    EXPECT_NE(lines[7].find("~0402 666~Carl Cyan~\r\n------=_KORVAFaxBoundary--\r\n"), std::string::npos);
    EXPECT_TRUE(job.comments.IsEmpty());
}

TEST_F(FaxSubmission, CommentLineOfAPeriodIsDoubledAndDoesNotEndTheMessage)
{
    job.comments = "before\n.\n.hidden\nafter";
    std::vector<std::string> lines = submit(goodReplies(), true);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_NE(lines[7].find("\r\nbefore\r\n..\r\n..hidden\r\nafter\r\n------=_KORVAFaxBoundary--\r\n"),
              std::string::npos);
    EXPECT_EQ(lines[8], "QUIT");
}

TEST_F(FaxSubmission, LineBreaksCannotStartNewHeaderOrCommandLines)
{
    job.subject = "Hi\r\nBcc: boss@example.com";
    settings.RealName = "Anna\r\n.";
    settings.EmailAddress = "anna@example.com>\r\nRCPT TO:<x@example.com";
    settings.FaxAddress = "fax@example.com\n";
    settings.Company = "Alt\r\n.\r\n";
    job.recipients = {"0301~Berta\r\n.\r\nQUIT~Blau"};
    std::vector<std::string> lines = submit(goodReplies(), true);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[4], "MAIL FROM:<anna@example.com>  RCPT TO:<x@example.com>");
    EXPECT_EQ(lines[5], "RCPT TO:<fax@example.com >");
    const std::string& data = lines[7];
    EXPECT_EQ(data.rfind("Subject: Hi  Bcc: boss@example.com\r\nFrom: \"Anna  .\" <anna@example.com>  RCPT", 0), 0u);
    EXPECT_NE(data.find("\r\nTo: fax@example.com \r\n"), std::string::npos);
    EXPECT_NE(data.find("\r\n~~Company~Alt  .  \r\n"), std::string::npos);
    EXPECT_NE(data.find("\r\n~0301~Berta  .  QUIT~Blau\r\n"), std::string::npos);
    EXPECT_EQ(data.find("\r\nBcc:"), std::string::npos);
}

TEST_F(FaxSubmission, EmptyUserNameIsSentAsAnEmptyLine)
{
    settings.Username.Clear();
    std::vector<std::string> lines = submit(goodReplies(), true);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[2], "");
}

TEST_F(FaxSubmission, QuitReplyDoesNotMatter)
{
    std::vector<std::string> replies = goodReplies();
    replies[9] = ScriptedServer::kDrop;
    submit(replies, true);
    EXPECT_TRUE(errors.boxes().empty());
}

TEST_F(FaxSubmission, AuthLoginAnswered250SendsNoCredentials)
{
    std::vector<std::string> replies = goodReplies();
    replies[2] = "250 what?";
    std::vector<std::string> lines = submit(replies, false);
    expectBox("Error logging on to KORVA", "AUTH LOGIN", "250 what?");
    EXPECT_EQ(lines, (std::vector<std::string>{"HELO korvafax", "AUTH LOGIN"}));
}

TEST_F(FaxSubmission, Greeting554EndsTheCall)
{
    std::vector<std::string> lines = submit({"554 go away"}, false);
    expectBox("Error logging on to KORVA", "", "554 go away");
    EXPECT_TRUE(lines.empty());
}

struct Step {
    const char* context;
    const char* wrongReply;
    const char* replyMessage;
    const char* socketMessage;
};

const Step kSteps[] = {
    {"", "421 busy", "Error logging on to KORVA", "Socket error logging on to KORVA"},
    {"HELO", "500 what", "Error logging on to KORVA", "Socket error logging on to KORVA"},
    {"AUTH LOGIN", "504 no", "Error logging on to KORVA", "Socket error logging on to KORVA"},
    {"<USERNAME>", "235 too soon", "Error logging on to KORVA", "Socket error logging on to KORVA"},
    {"<PASSWORD>", "535 wrong", "Error logging on to KORVA", "Socket error logging on to KORVA"},
    {"MAIL FROM:<anna@example.com>\r\n", "550 no", "Error sending fax", "Socket error sending fax"},
    {"RCPT TO:<fax@example.com>\r\n", "550 unknown", "Error sending fax", "Socket error sending fax"},
    {"DATA", "250 not data", "Error sending fax", "Socket error sending fax"},
    {"<fax>", "554 refused", "Error sending fax", "Error sending fax"},
};

TEST_F(FaxSubmission, EveryWrongReplyGivesItsBox)
{
    for (size_t step = 0; step < std::size(kSteps); ++step) {
        SCOPED_TRACE(step);
        errors.clear();
        std::vector<std::string> replies = goodReplies();
        replies[step] = kSteps[step].wrongReply;
        std::vector<std::string> lines = submit(replies, false);
        expectBox(kSteps[step].replyMessage, kSteps[step].context, kSteps[step].wrongReply);
        EXPECT_EQ(lines.size(), step);  // nothing sent after the wrong reply
    }
}

TEST_F(FaxSubmission, EveryDroppedConnectionGivesItsBox)
{
    for (size_t step = 0; step < std::size(kSteps); ++step) {
        SCOPED_TRACE(step);
        errors.clear();
        std::vector<std::string> replies = goodReplies();
        replies[step] = ScriptedServer::kDrop;
        submit(replies, false);
        ASSERT_EQ(errors.boxes().size(), 1u);
        EXPECT_EQ(errors.boxes()[0].message, kSteps[step].socketMessage);
        EXPECT_EQ(errors.boxes()[0].context, kSteps[step].context);
        EXPECT_TRUE(allDigits(errors.boxes()[0].detail)) << errors.boxes()[0].detail;
    }
}

TEST_F(FaxSubmission, ServerThatHangsUpGivesThePeerClosedNumber)
{
    std::vector<std::string> replies = goodReplies();
    replies[8] = ScriptedServer::kHangUp;
    submit(replies, false);
    expectBox("Error sending fax", "<fax>", "10503");
}

TEST_F(FaxSubmission, SilentServerTimesOut)
{
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 200);
    std::vector<std::string> replies = goodReplies();
    replies[1] = ScriptedServer::kSilent;
    submit(replies, false);
    expectBox("Socket error logging on to KORVA", "HELO", "10060");
}

TEST_F(FaxSubmission, SlowServerWithinTheTimeOutIsWaitedFor)
{
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 1500);
    std::vector<std::string> replies = goodReplies();
    replies[0] = ScriptedServer::after(300, replies[0]);
    replies[7] = ScriptedServer::after(300, replies[7]);
    replies[8] = ScriptedServer::after(300, replies[8]);
    std::vector<std::string> lines = submit(replies, true);
    EXPECT_TRUE(errors.boxes().empty());
    EXPECT_EQ(lines.size(), 9u);
}

TEST_F(FaxSubmission, SlowServerBeyondTheTimeOutIsLeftAtTheTimeOut)
{
    struct Late {
        size_t step;
        const char* message;
        const char* context;
    };
    const Late lateSteps[] = {{7, "Socket error sending fax", "DATA"}, {8, "Error sending fax", "<fax>"}};
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 200);
    for (const Late& late : lateSteps) {
        SCOPED_TRACE(late.step);
        errors.clear();
        std::vector<std::string> replies = goodReplies();
        replies[late.step] = ScriptedServer::after(900, replies[late.step]);
        ScriptedServer server(replies);
        settings.SMTPServerPort = static_cast<uint32_t>(server.port());
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(SubmitFax(nullptr, documents, job, settings));
        auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_LT(waited, std::chrono::milliseconds(800)) << "ended by the time-out, not by the late answer";
        expectBox(late.message, late.context, "10060");
    }
}

// A quit that comes after the final "." has reached the server must not
// leave an accepted fax looking failed: it would be sent a second time.
TEST_F(FaxSubmission, AbortAfterTheEndOfTheMessageStillTakesTheServersAnswer)
{
    std::vector<std::string> replies = goodReplies();
    const size_t messageData = 8;  // the line that the "250 queued" answers
    replies[messageData] = ScriptedServer::after(300, replies[messageData]);
    ScriptedServer server(replies);
    settings.SMTPServerPort = static_cast<uint32_t>(server.port());
    std::thread aborter([&server, messageData] {
        EXPECT_TRUE(testing::pollUntil([&] { return server.linesSoFar() >= messageData; }));
        abortServerConversations();
    });
    SubmitReport report;
    EXPECT_TRUE(SubmitFax(nullptr, documents, job, settings, &report));
    aborter.join();
    EXPECT_TRUE(errors.boxes().empty());
    resetServerConversationAbort();
}

TEST_F(FaxSubmission, AbortEndsTheSubmissionAtOnceAndResetAllowsTheNext)
{
    std::vector<std::string> replies = goodReplies();
    replies[1] = ScriptedServer::kSilent;
    {
        ScriptedServer server(replies);
        settings.SMTPServerPort = static_cast<uint32_t>(server.port());
        const pid_t submitter = ::gettid();
        std::thread aborter([&] {
            // While the submission waits for the reply to its HELO.
            EXPECT_TRUE(korva::testing::pollUntil(
                [&] { return server.linesSoFar() >= 1 && korva::testing::isBlocked(submitter); }));
            abortServerConversations();
        });
        auto start = std::chrono::steady_clock::now();
        SubmitReport report;
        EXPECT_FALSE(SubmitFax(nullptr, documents, job, settings, &report));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        aborter.join();
        EXPECT_EQ(report.failure, SubmitFailure::Transient);
        EXPECT_EQ(report.reason, "HELO at 127.0.0.1:" + std::to_string(server.port()) + " failed (error 10004)");
    }
    expectBox("Socket error logging on to KORVA", "HELO", "10004");
    resetServerConversationAbort();
    errors.clear();
    EXPECT_EQ(submit(goodReplies(), true).size(), 9u);
    EXPECT_TRUE(errors.boxes().empty());
}

// A reply line longer than SMTP allows (512 bytes with CR LF) ends its step
// at once as the server's error, and the fax is kept for another try.
TEST_F(FaxSubmission, ReplyLineLongerThanSmtpAllowsEndsItsStepAtOnce)
{
    struct Case {
        size_t step;
        const char* message;
        const char* context;
        const char* reason;
    };
    const Case cases[] = {
        {0, "Error logging on to KORVA", "", "greeting from"},
        {1, "Error logging on to KORVA", "HELO", "HELO at"},
        {5, "Error sending fax", "MAIL FROM:<anna@example.com>\r\n", "MAIL FROM at"},
        {8, "Error sending fax", "<fax>", "reply to the message from"},
    };
    korva::testing::ScopedSeam readWait(korva::socket_seam::setReadWaitMs, 2000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        errors.clear();
        std::vector<std::string> replies = goodReplies();
        replies[c.step] = replies[c.step].substr(0, 4) + std::string(100 * 1024, 'r');
        ScriptedServer server(replies);
        settings.SMTPServerPort = static_cast<uint32_t>(server.port());
        SubmitReport report;
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(SubmitFax(nullptr, documents, job, settings, &report));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
        expectBox(c.message, c.context, "10040");
        EXPECT_EQ(report.failure, SubmitFailure::Transient);
        EXPECT_EQ(report.reason,
                  std::string(c.reason) + " 127.0.0.1:" + std::to_string(server.port()) + " failed (error 10040)");
    }
}

TEST_F(FaxSubmission, ServerThatIsNotListening)
{
    int reserved = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(bind(reserved, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(getsockname(reserved, reinterpret_cast<sockaddr*>(&address), &size), 0);
    settings.SMTPServerPort = ntohs(address.sin_port);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(SubmitFax(nullptr, documents, job, settings));
    // Refused attempts are retried for a little over a second, no more.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    close(reserved);
    expectBox("Unable to connect to server", "127.0.0.1", "111");
}

TEST_F(FaxSubmission, SocketThatCannotBeCreated)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto attempt = [this] {
        // The reader's catalogue is read first, as a running program has it:
        // with every descriptor in use it could not be opened.
        (void)translated("ServerError", "Unable to create socket");
        int lowest = open("/dev/null", O_RDONLY);
        close(lowest);
        rlimit limit{static_cast<rlim_t>(lowest), static_cast<rlim_t>(lowest)};
        setrlimit(RLIMIT_NOFILE, &limit);
        bool sent = SubmitFax(nullptr, documents, job, settings);
        const ServerErrorBox box = errors.boxes().at(0);
        std::fprintf(stderr, "[%s|%s|%s]", box.message.c_str(), box.context.c_str(), box.detail.c_str());
        std::fflush(stderr);
        // No exit handlers: with every descriptor in use, a sanitizer's
        // checks in them cannot read the process map and report falsely.
        _exit(sent ? 1 : 0);
    };
    EXPECT_EXIT(attempt(), ::testing::ExitedWithCode(0), "\\[Unable to create socket\\|\\|24\\]");
}

TEST_F(FaxSubmission, SendFailurePartWayNeverEndsTheMessage)
{
    std::string big(16 * 1024 * 1024, 'x');
    documents = {document("big.tif", big)};
    std::vector<std::string> replies = goodReplies();
    replies[7] = ScriptedServer::kDropInData;
    std::vector<std::string> lines = submit(replies, false);
    ASSERT_EQ(errors.boxes().size(), 1u);
    EXPECT_EQ(errors.boxes()[0].message, "Socket error sending fax");
    EXPECT_EQ(errors.boxes()[0].context, "<fax>");
    EXPECT_TRUE(allDigits(errors.boxes()[0].detail)) << errors.boxes()[0].detail;
    EXPECT_EQ(lines.size(), 7u);  // the message never ended
}

// A listening port that records whether anyone connected.
class WatchedPort {
public:
    WatchedPort()
    {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(fd_, reinterpret_cast<sockaddr*>(&address), size);
        listen(fd_, 4);
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~WatchedPort() { close(fd_); }
    uint32_t port() const { return port_; }
    bool called() const
    {
        pollfd pending{fd_, POLLIN, 0};
        return poll(&pending, 1, 0) > 0;
    }

private:
    int fd_ = -1;
    uint32_t port_ = 0;
};

TEST_F(FaxSubmission, DocumentThatCannotBeReadIsRefusedBeforeTheServerIsCalled)
{
    testing::ReaderLanguage english("en");  // the box's words; the outbox's reason is English in any language
    const std::string fifo = home.path() + "/fifo.tif";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        int error;
    };
    const Case cases[] = {
        {home.path() + "/gone.tif", ENOENT},
        {home.path(), EISDIR},
        {fifo, EINVAL},
        {document("empty.tif", "").file.Text(), ENODATA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        testing::CapturedBoxes shown;
        FaxDocument unreadable;
        unreadable.file = c.path.c_str();
        documents = {document("ok.tif", "fine"), unreadable};
        WatchedPort server;
        settings.SMTPServerPort = server.port();
        SubmitReport report;
        EXPECT_FALSE(SubmitFax(nullptr, documents, job, settings, &report));
        EXPECT_FALSE(server.called());
        EXPECT_EQ(report.failure, SubmitFailure::Permanent);
        EXPECT_EQ(report.reason, "fax document " + c.path + " cannot be read (error " + std::to_string(c.error) + ")");
        using Box = std::pair<std::string, std::string>;
        EXPECT_EQ(shown.boxes(),
                  (std::vector<Box>{{"KORVA Fax", "The fax document " + c.path + " cannot be read (error " +
                                                      std::to_string(c.error) + "). The fax was not sent."}}));
        EXPECT_TRUE(errors.boxes().empty());
    }
}

struct Outcome {
    size_t step;  // the reply replaced
    const char* reply;
    SubmitFailure failure;
    const char* words;
};

const Outcome kReplyOutcomes[] = {
    {0, "554 go away", SubmitFailure::Transient, "the server turned the connection away: go away"},
    {0, "421 busy", SubmitFailure::Transient, "the server turned the connection away: busy"},
    {1, "500 what", SubmitFailure::Transient, "the server turned the connection away: what"},
    {2, "504 no", SubmitFailure::Permanent, "the log-on was refused: no"},
    {2, "250 what?", SubmitFailure::Transient, "the log-on was refused: what?"},
    {3, "535 no such user", SubmitFailure::Permanent, "the log-on was refused: no such user"},
    {4, "535 authentication failed", SubmitFailure::Permanent, "the log-on was refused: authentication failed"},
    {4, "454 try again later", SubmitFailure::Transient, "the log-on was refused: try again later"},
    {5, "550 sender refused", SubmitFailure::Permanent, "the sender's e-mail address was refused: sender refused"},
    {6, "550 unknown", SubmitFailure::Permanent, "the fax address was refused: unknown"},
    {6, "450 mailbox busy", SubmitFailure::Transient, "the fax address was refused: mailbox busy"},
    {7, "451 not now", SubmitFailure::Transient, "the server refused the fax: not now"},
    {8, "554 refused", SubmitFailure::Permanent, "the server refused the fax: refused"},
    {8, "452 no room", SubmitFailure::Transient, "the server refused the fax: no room"},
};

TEST_F(FaxSubmission, EveryWrongReplyIsReportedAsPermanentOrTransient)
{
    for (const Outcome& outcome : kReplyOutcomes) {
        SCOPED_TRACE(outcome.reply);
        std::vector<std::string> replies = goodReplies();
        replies[outcome.step] = outcome.reply;
        ScriptedServer server(replies);
        settings.SMTPServerPort = static_cast<uint32_t>(server.port());
        SubmitReport report;
        EXPECT_FALSE(SubmitFax(nullptr, documents, job, settings, &report));
        EXPECT_EQ(report.failure, outcome.failure);
        EXPECT_EQ(report.reason, outcome.reply);
        EXPECT_EQ(report.words, outcome.words);
    }
    EXPECT_EQ(errors.boxes().size(), std::size(kReplyOutcomes));  // the boxes are as before
}

TEST_F(FaxSubmission, SocketFailuresAreTransientAndNameTheStepAndServer)
{
    SubmitReport report;
    std::string server;
    {
        std::vector<std::string> replies = goodReplies();
        replies[1] = ScriptedServer::kHangUp;
        ScriptedServer hangingUp(replies);
        settings.SMTPServerPort = static_cast<uint32_t>(hangingUp.port());
        server = "127.0.0.1:" + std::to_string(hangingUp.port());
        EXPECT_FALSE(SubmitFax(nullptr, documents, job, settings, &report));
    }
    EXPECT_EQ(report.failure, SubmitFailure::Transient);
    EXPECT_EQ(report.reason, "HELO at " + server + " failed (error 10503)");
    EXPECT_EQ(report.words, "the server broke off the connection");

    int bound = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);  // never listens: connections are refused
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(bind(bound, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(getsockname(bound, reinterpret_cast<sockaddr*>(&address), &size), 0);
    settings.SMTPServerPort = ntohs(address.sin_port);
    EXPECT_FALSE(SubmitFax(nullptr, documents, job, settings, &report));
    close(bound);
    EXPECT_EQ(report.failure, SubmitFailure::Transient);
    EXPECT_EQ(report.reason, "connect to 127.0.0.1:" + std::to_string(settings.SMTPServerPort) + " failed (error 111)");
    EXPECT_EQ(report.words, "the server did not answer");
}

TEST_F(FaxSubmission, SuccessReportsNoFailure)
{
    ScriptedServer server(goodReplies());
    settings.SMTPServerPort = static_cast<uint32_t>(server.port());
    SubmitReport report{SubmitFailure::Permanent, "stale"};
    EXPECT_TRUE(SubmitFax(nullptr, documents, job, settings, &report));
    EXPECT_EQ(report.failure, SubmitFailure::None);
    EXPECT_EQ(report.reason, "");
}

}  // namespace
}  // namespace korva
