// The fax submission and the directory logon with Encryption 1 (STARTTLS /
// STLS) and 2 (TLS from the first byte), against a scripted TLS server:
// what crossed the wire in the clear, and the box of every refusal.

#include "faxcourier/foundation/server_error_capture.h"
#include "faxcourier/net/certificate_problem.h"
#include "faxcourier/net/directory_commands.h"
#include "faxcourier/net/fax_submission.h"
#include "faxcourier/net/testing/scripted_server.h"
#include "faxcourier/net/test_certificates.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korva {
namespace {

using testing::ScriptedServer;
using testing::TestCertificate;
using Lines = std::vector<std::string>;

const std::string kEhloWithStartTls = "250-korva hello\r\n250-STARTTLS\r\n250 AUTH LOGIN";
const std::string kEhloAfterTls = "250-korva hello\r\n250 AUTH LOGIN";
const Lines kAfterLogon = {"250 sender ok", "250 fax ok", "354 go ahead", "250 queued", "221 bye"};
const Lines kLogonLines = {"AUTH LOGIN", "YW5uYQ==", "czNjcmV0", "MAIL FROM:<anna@example.com>",
                           "RCPT TO:<fax@example.com>"};

Lines smtpScript(Lines start)
{
    Lines replies = std::move(start);
    for (const char* reply : {"334 VXNlcm5hbWU6", "334 UGFzc3dvcmQ6", "235 welcome"})
        replies.push_back(reply);
    replies.insert(replies.end(), kAfterLogon.begin(), kAfterLogon.end());
    return replies;
}

Lines concat(Lines first, const Lines& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::string refusal(CertificateProblem problem) { return certificateRefusal("127.0.0.1", problem); }

struct Case {
    const char* name;
    uint32_t encryption;
    Lines replies;
    TestCertificate certificate;
    bool trustTestCa;
    bool succeeds;
    Lines sent;           // the client's lines, the first ones only for a fax
    std::string clear;    // what went before TLS began
    std::string context;  // of the box; empty: none
    std::string detail;
};

class TlsConversations : public ::testing::TestWithParam<Case> {
protected:
    TlsConversations() : certificates(home.path())
    {
        settings.Server = "127.0.0.1";
        settings.Username = "anna";
        settings.Password = "s3cret";
        settings.EmailAddress = "anna@example.com";
        settings.FaxAddress = "fax@example.com";
        settings.Encryption = GetParam().encryption;
        settings.TLSCAFile = GetParam().trustTestCa ? certificates.caFile().c_str() : "";
    }

    ScriptedServer::TlsIdentity identity() const
    {
        return {certificates.certificateFile(GetParam().certificate), certificates.keyFile(GetParam().certificate)};
    }

    void expectBox()
    {
        const Case& c = GetParam();
        if (c.context.empty()) {
            EXPECT_TRUE(boxes.boxes().empty());
            return;
        }
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].message, "Error logging on to KORVA");
        EXPECT_EQ(boxes.boxes()[0].context, c.context);
        EXPECT_EQ(boxes.boxes()[0].detail, c.detail);
    }

    korva::testing::TempHome home;
    testing::TestCertificates certificates;
    CapturedServerErrors boxes;
    Settings settings;
};

class SmtpTls : public TlsConversations {};

TEST_P(SmtpTls, PasswordOnlyUnderTlsAndEveryRefusalBoxed)
{
    const Case& c = GetParam();
    ScriptedServer server(c.replies, identity());
    settings.SMTPServerPort = uint32_t(server.port());
    FaxJob job;
    job.recipients = {"0301 555~Berta Blau~"};
    FaxDocument document;
    document.file = (home.path() + "/korvafax1.tif").c_str();
    testing::writeWholeFile(document.file.Text(), "II*\0fax");
    job.documents = {document};
    SubmitReport report;
    EXPECT_EQ(SubmitFax(nullptr, job.documents, job, settings, &report), c.succeeds);
    Lines sent = server.lines();
    EXPECT_EQ(Lines(sent.begin(), sent.begin() + std::min(sent.size(), c.sent.size())), c.sent);
    EXPECT_EQ(server.receivedInClear(), c.clear);
    EXPECT_EQ(server.receivedInClear().find("czNjcmV0"), std::string::npos);
    EXPECT_EQ(server.receivedAfterRefusal(), "");
    EXPECT_EQ(report.failure, c.succeeds ? SubmitFailure::None : SubmitFailure::Permanent);
    // The box names the host; the words for the desktop and the outbox keep only why.
    const std::string certificateBox = "The certificate of 127.0.0.1 was refused: ";
    if (c.detail.rfind(certificateBox, 0) == 0) {
        EXPECT_EQ(report.words,
                  "the certificate was refused: " +
                      c.detail.substr(certificateBox.size(), c.detail.size() - certificateBox.size() - 1));
    }
    expectBox();
}

INSTANTIATE_TEST_SUITE_P(
    Encryption, SmtpTls,
    ::testing::Values(
        Case{"StartTls", 1,
             smtpScript({"220 hi", kEhloWithStartTls, ScriptedServer::thenTls("220 go ahead"), kEhloAfterTls}),
             TestCertificate::Good, true, true, concat({"EHLO korvafax", "STARTTLS", "EHLO korvafax"}, kLogonLines),
             "EHLO korvafax\r\nSTARTTLS\r\n", "", ""},
        Case{"TlsAtConnect", 2, smtpScript({ScriptedServer::tlsFirst("220 hi"), "250 hello"}), TestCertificate::Good,
             true, true, concat({"HELO korvafax"}, kLogonLines), "", "", ""},
        Case{"StartTlsNotOffered",
             1,
             {"220 hi", kEhloAfterTls},
             TestCertificate::Good,
             true,
             false,
             {"EHLO korvafax"},
             "EHLO korvafax\r\n",
             "STARTTLS",
             "250-korva hello\n250 AUTH LOGIN"},
        Case{"StartTlsRefused",
             1,
             {"220 hi", kEhloWithStartTls, "454 TLS not available"},
             TestCertificate::Good,
             true,
             false,
             {"EHLO korvafax", "STARTTLS"},
             "EHLO korvafax\r\nSTARTTLS\r\n",
             "STARTTLS",
             "454 TLS not available"},
        Case{"Untrusted",
             1,
             {"220 hi", kEhloWithStartTls, ScriptedServer::thenTls("220 go ahead")},
             TestCertificate::Good,
             false,
             false,
             {"EHLO korvafax", "STARTTLS"},
             "EHLO korvafax\r\nSTARTTLS\r\n",
             "STARTTLS",
             refusal(CertificateProblem::NotTrusted)},
        Case{"Expired",
             1,
             {"220 hi", kEhloWithStartTls, ScriptedServer::thenTls("220 go ahead")},
             TestCertificate::Expired,
             true,
             false,
             {"EHLO korvafax", "STARTTLS"},
             "EHLO korvafax\r\nSTARTTLS\r\n",
             "STARTTLS",
             refusal(CertificateProblem::Expired)},
        Case{"OtherHost",
             2,
             {ScriptedServer::tlsFirst("220 hi")},
             TestCertificate::OtherHost,
             true,
             false,
             {},
             "",
             "TLS",
             refusal(CertificateProblem::OtherName)}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

class DirectoryTls : public TlsConversations {};

TEST_P(DirectoryTls, PasswordOnlyUnderTlsAndEveryRefusalBoxed)
{
    const Case& c = GetParam();
    ScriptedServer server(c.replies, identity());
    settings.POP3ServerPort = uint32_t(server.port());
    EXPECT_EQ(DeleteDirectoryEntry(nullptr, "MAIL=berta,o=y", settings), c.succeeds);
    EXPECT_EQ(server.lines(), c.sent);
    EXPECT_EQ(server.receivedInClear(), c.clear);
    EXPECT_EQ(server.receivedAfterRefusal(), "");
    expectBox();
}

const Lines kDirectoryLines = {"X-LDAPUSER anna", "PASS s3cret", "X-LDAPDEL MAIL=berta,o=y", "QUIT"};

INSTANTIATE_TEST_SUITE_P(
    Encryption, DirectoryTls,
    ::testing::Values(Case{"Stls",
                           1,
                           {"+OK welcome", ScriptedServer::thenTls("+OK begin TLS"), "+OK", "+OK", "+OK", "+OK bye"},
                           TestCertificate::Good,
                           true,
                           true,
                           concat({"STLS"}, kDirectoryLines),
                           "STLS\r\n",
                           "",
                           ""},
                      Case{"TlsAtConnect",
                           2,
                           {ScriptedServer::tlsFirst("+OK welcome"), "+OK", "+OK", "+OK", "+OK bye"},
                           TestCertificate::Good,
                           true,
                           true,
                           kDirectoryLines,
                           "",
                           "",
                           ""},
                      Case{"StlsRefused",
                           1,
                           {"+OK welcome", "-ERR unknown command"},
                           TestCertificate::Good,
                           true,
                           false,
                           {"STLS"},
                           "STLS\r\n",
                           "STLS",
                           "-ERR unknown command"},
                      Case{"Untrusted",
                           2,
                           {ScriptedServer::tlsFirst("+OK welcome")},
                           TestCertificate::Good,
                           false,
                           false,
                           {},
                           "",
                           "TLS",
                           refusal(CertificateProblem::NotTrusted)},
                      Case{"Expired",
                           1,
                           {"+OK welcome", ScriptedServer::thenTls("+OK begin TLS")},
                           TestCertificate::Expired,
                           true,
                           false,
                           {"STLS"},
                           "STLS\r\n",
                           "STLS",
                           refusal(CertificateProblem::Expired)},
                      Case{"OtherHost",
                           1,
                           {"+OK welcome", ScriptedServer::thenTls("+OK begin TLS")},
                           TestCertificate::OtherHost,
                           true,
                           false,
                           {"STLS"},
                           "STLS\r\n",
                           "STLS",
                           refusal(CertificateProblem::OtherName)}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
}  // namespace korva
