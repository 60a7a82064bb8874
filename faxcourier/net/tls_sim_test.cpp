// A fax and a directory command round trip against korva-sim with TLS, by
// Encryption 1 (STARTTLS / STLS) and 2 (the implicit-TLS ports), and every
// refusal: the sim's own conversation log tells what went in the clear.

#include "faxcourier/foundation/server_error_capture.h"
#include "faxcourier/net/certificate_problem.h"
#include "faxcourier/net/directory_commands.h"
#include "faxcourier/net/fax_submission.h"
#include "platform/testing/test_support.h"
#include "tools/korva-sim/testing/korva_sim_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace korva {
namespace {

using testing::KorvaSimProcess;

enum class Talk { Fax, Directory };

struct Case {
    const char* name;
    Talk talk;
    uint32_t encryption;
    const char* tlsMode;  // "--tls-only", or "" for a sim without TLS
    const char* certificate;
    bool trustTestCa;
    const char* context;  // of the refusal's box; null: it succeeds
    const char* detailStart;
};

class TlsAgainstKorvaSim : public ::testing::TestWithParam<Case> {
protected:
    TlsAgainstKorvaSim()
    {
        const Case& c = GetParam();
        testing::writeWholeFile(
            home.path() + "/seed.json",
            R"({"entries": [{"cn": "Anna", "mail": "anna@example.com", "_deletable": "1", "_editable": "1"}]})");
        std::vector<std::string> arguments = {
            "--directory", home.path() + "/seed.json", "--conversation-log", log, "--tls-ca-out", ca, "--tls-cert",
            c.certificate};
        if (*c.tlsMode != '\0')
            arguments.push_back(c.tlsMode);
        sim =
            std::make_unique<KorvaSimProcess>(home.path() + "/spool", "anna", "s3cret", "fax@korva.example", arguments);
        bool implicit = c.encryption == kEncryptionTls;
        settings.Server = "127.0.0.1";
        settings.SMTPServerPort = uint32_t(sim->port(implicit ? "smtps" : "smtp"));
        settings.POP3ServerPort = uint32_t(sim->port(implicit ? "pop3s" : "pop3"));
        settings.Username = "anna";
        settings.Password = "s3cret";
        settings.EmailAddress = "anna@example.com";
        settings.FaxAddress = "fax@korva.example";
        settings.Encryption = c.encryption;
        settings.TLSCAFile = c.trustTestCa ? ca.c_str() : "";
    }

    bool sendFax()
    {
        FaxJob job;
        job.recipients = {"0301 555~Berta Blau~"};
        FaxDocument document;
        document.file = (home.path() + "/korvafax1.tif").c_str();
        testing::writeWholeFile(document.file.Text(), "II*");
        job.documents = {document};
        return SubmitFax(nullptr, job.documents, job, settings);
    }

    // Creates an entry, changes it and deletes it.
    bool roundTrip()
    {
        AttributeMap oldMap;
        AttributeMap newMap{{"CN", "Carl"}, {"FAX", "0301"}};
        SaveDirectoryEntry(nullptr, oldMap, newMap, settings);
        if (newMap["OBJECTID"].IsEmpty())
            return false;
        AttributeMap changed = newMap;
        changed["FAX"] = "0302";
        SaveDirectoryEntry(nullptr, newMap, changed, settings);
        return boxes.boxes().empty() && DeleteDirectoryEntry(nullptr, changed["OBJECTID"], settings);
    }

    std::vector<std::string> conversations()
    {
        EXPECT_EQ(sim->stop(), 0);
        std::ifstream in(log);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    korva::testing::TempHome home;
    std::string log = home.path() + "/conversations.jsonl";
    std::string ca = home.path() + "/test-ca.pem";
    std::unique_ptr<KorvaSimProcess> sim;
    CapturedServerErrors boxes;
    Settings settings;
};

bool has(const std::string& line, const char* field) { return line.find(field) != std::string::npos; }

TEST_P(TlsAgainstKorvaSim, EncryptedOrRefusedNeverInTheClear)
{
    const Case& c = GetParam();
    bool done = c.talk == Talk::Fax ? sendFax() : roundTrip();
    EXPECT_EQ(done, c.context == nullptr);
    std::vector<std::string> lines = conversations();
    for (const std::string& line : lines)
        EXPECT_TRUE(has(line, "\"logon_in_clear\": false")) << line;
    if (c.context == nullptr) {
        EXPECT_TRUE(boxes.boxes().empty());
        ASSERT_FALSE(lines.empty());
        for (const std::string& line : lines) {
            EXPECT_TRUE(has(line, "\"tls\": true")) << line;
            EXPECT_TRUE(has(line, "\"logon\": true")) << line;
        }
        if (c.talk == Talk::Fax) {
            EXPECT_NE(testing::readWholeFile(home.path() + "/spool/0001.json").find("\"tls\": true"),
                      std::string::npos);
        }
        return;
    }
    for (const std::string& line : lines)
        EXPECT_TRUE(has(line, "\"logon\": false")) << line;
    EXPECT_FALSE(std::filesystem::exists(home.path() + "/spool/0001.json"));
    // A failed logon inside a save is followed by the save's own connection box.
    ASSERT_EQ(boxes.boxes().size(), c.talk == Talk::Directory ? 2u : 1u);
    EXPECT_EQ(boxes.boxes()[0].message, "Error logging on to KORVA");
    EXPECT_EQ(boxes.boxes()[0].context, c.context);
    EXPECT_EQ(boxes.boxes()[0].detail.rfind(c.detailStart, 0), 0u) << boxes.boxes()[0].detail;
}

const std::string kUntrusted = certificateRefusal("127.0.0.1", CertificateProblem::NotTrusted);
const std::string kExpired = certificateRefusal("127.0.0.1", CertificateProblem::Expired);
const std::string kOtherName = certificateRefusal("127.0.0.1", CertificateProblem::OtherName);

INSTANTIATE_TEST_SUITE_P(
    TlsOnly, TlsAgainstKorvaSim,
    ::testing::Values(
        Case{"FaxStartTls", Talk::Fax, 1, "--tls-only", "good", true, nullptr, ""},
        Case{"FaxTls", Talk::Fax, 2, "--tls-only", "good", true, nullptr, ""},
        Case{"DirectoryStls", Talk::Directory, 1, "--tls-only", "good", true, nullptr, ""},
        Case{"DirectoryTls", Talk::Directory, 2, "--tls-only", "good", true, nullptr, ""},
        Case{"FaxPlainSim", Talk::Fax, 1, "", "good", true, "STARTTLS", "250"},
        Case{"DirectoryPlainSim", Talk::Directory, 1, "", "good", true, "STLS", "-"},
        Case{"FaxUntrusted", Talk::Fax, 1, "--tls-only", "good", false, "STARTTLS", kUntrusted.c_str()},
        Case{"DirectoryUntrusted", Talk::Directory, 2, "--tls-only", "good", false, "TLS", kUntrusted.c_str()},
        Case{"FaxExpired", Talk::Fax, 2, "--tls-only", "expired", true, "TLS", kExpired.c_str()},
        Case{"DirectoryExpired", Talk::Directory, 1, "--tls-only", "expired", true, "STLS", kExpired.c_str()},
        Case{"FaxOtherHost", Talk::Fax, 1, "--tls-only", "other-host", true, "STARTTLS", kOtherName.c_str()},
        Case{"DirectoryOtherHost", Talk::Directory, 2, "--tls-only", "other-host", true, "TLS", kOtherName.c_str()}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
}  // namespace korva
