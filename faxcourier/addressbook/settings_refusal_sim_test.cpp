// Every server conversation (the fax over SMTP, a directory command, the
// LDAP search and entry read) against korva-sim, with each Server and
// Encryption value: a value none of them can use is refused with a box
// naming the setting before anything is sent, so korva-sim's conversation
// log stays empty.
#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/testing/directory_sim.h"
#include "faxcourier/foundation/server_error_capture.h"
#include "faxcourier/net/directory_commands.h"
#include "faxcourier/net/fax_submission.h"
#include "faxcourier/settings/settings.h"
#include "platform/testing/test_support.h"
#include "tools/korva-sim/testing/korva_sim_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace korva;
using namespace korva::testing;

namespace {

struct Case {
    const char* server;  // "" stays empty
    uint32_t encryption;
    const char* refused;  // the setting the box names; null: every conversation goes through
};

enum class Talk { Fax, DirectoryCommand, LdapSearch, LdapEntryRead };
constexpr Talk kTalks[] = {Talk::Fax, Talk::DirectoryCommand, Talk::LdapSearch, Talk::LdapEntryRead};
constexpr const char* kFaxAddress = "fax@korva.example";
constexpr const char* kAnna = "MAIL=anna@example.com,carl";

class SettingsRefusal : public ::testing::Test {
protected:
    void start(uint32_t encryption)
    {
        std::remove(log().c_str());
        writeWholeFile(home.path() + "/seed.json",
                       R"({"entries": [{"cn": "Anna", "mail": "anna@example.com", "_deletable": "1"}]})");
        sim = std::make_unique<KorvaSimProcess>(
            home.path() + "/spool", kSimUser, kSimPassword, kFaxAddress,
            std::vector<std::string>{"--directory", home.path() + "/seed.json", "--tls", "--tls-ca-out", ca(),
                                     "--conversation-log", log()});
        bool implicit = encryption == kEncryptionTls;
        settings.SMTPServerPort = uint32_t(sim->port(implicit ? "smtps" : "smtp"));
        settings.POP3ServerPort = uint32_t(sim->port(implicit ? "pop3s" : "pop3"));
        settings.LDAPServerPort = uint32_t(sim->port(implicit ? "ldaps" : "ldap"));
        settings.Username = kSimUser;
        settings.Password = kSimPassword;
        settings.EmailAddress = "carl@example.com";
        settings.FaxAddress = kFaxAddress;
        settings.Encryption = encryption;
        settings.TLSCAFile = ca().c_str();
    }

    // True when the conversation did what it was asked.
    bool talk(Talk talk)
    {
        LdapLogon logon{settings.Server,   settings.LDAPServerPort, settings.Username,
                        settings.Password, settings.Encryption,     settings.TLSCAFile};
        switch (talk) {
            case Talk::Fax: {
                FaxJob job;
                job.recipients = {"0301 555~Berta Blau~"};
                FaxDocument document;
                document.file = (home.path() + "/korvafax1.tif").c_str();
                writeWholeFile(document.file.Text(), "II*");
                job.documents = {document};
                SubmitReport report;
                bool sent = SubmitFax(nullptr, job.documents, job, settings, &report);
                // Kept in the outbox as refused: trying again cannot help.
                EXPECT_EQ(report.failure, sent ? SubmitFailure::None : SubmitFailure::Permanent);
                return sent;
            }
            case Talk::DirectoryCommand:
                return DeleteDirectoryEntry(nullptr, kAnna, settings);
            case Talk::LdapSearch: {
                runDirectorySearch(logon);
                std::lock_guard lock(addressBookLock);
                return addressEntries.size() == 1;
            }
            case Talk::LdapEntryRead:
                return !ReadDirectoryEntry(kAnna, logon).empty();
        }
        return false;
    }

    // The conversation log's lines, complete once the sim has ended.
    std::vector<std::string> conversations()
    {
        EXPECT_EQ(sim->stop(), 0);
        std::istringstream in(readWholeFile(log()));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            line.erase(std::remove(line.begin(), line.end(), ' '), line.end());
            lines.push_back(line);
        }
        return lines;
    }

    std::string ca() const { return home.path() + "/ca.pem"; }
    std::string log() const { return home.path() + "/conversations.jsonl"; }

    TempHome home;
    std::unique_ptr<KorvaSimProcess> sim;
    Settings settings;
};

}  // namespace

TEST_F(SettingsRefusal, AServerOrEncryptionValueNoConversationCanUseSendsNothing)
{
    const Case cases[] = {
        {"127.0.0.1", 0, nullptr},
        {"127.0.0.1", 1, nullptr},
        {"127.0.0.1", 2, nullptr},
        {"127.0.0.1", 3, "Encryption"},
        {"127.0.0.1", 0x80000000u, "Encryption"},
        {"127.0.0.1", 0xFFFFFFFFu, "Encryption"},
        {"127.0.0.1 x", 1, "Server"},
        {"127.0.0.1,x", 1, "Server"},
        {"ldap://127.0.0.1", 1, "Server"},
        {"127.0.0.1/x", 1, "Server"},
        {"", 1, "Server"},
    };
    for (const Case& c : cases) {
        for (Talk what : kTalks) {
            SCOPED_TRACE(std::string(c.server) + " / " + std::to_string(c.encryption) + " / talk " +
                         std::to_string(int(what)));
            start(c.encryption);
            settings.Server = c.server;
            CapturedServerErrors boxes;
            bool done = talk(what);
            std::vector<std::string> talked = conversations();
            auto shown = boxes.boxes();
            if (c.refused == nullptr) {
                EXPECT_TRUE(done);
                for (const ServerErrorBox& box : shown)
                    ADD_FAILURE() << box.text;
                EXPECT_FALSE(talked.empty());
                for (const std::string& line : talked)
                    EXPECT_NE(line.find(c.encryption == 0 ? "\"tls\":false" : "\"tls\":true"), std::string::npos)
                        << line;
                continue;
            }
            EXPECT_FALSE(done);
            for (const std::string& line : talked)
                ADD_FAILURE() << "sent: " << line;
            EXPECT_EQ(shown.size(), 1u);
            for (const ServerErrorBox& box : shown) {
                EXPECT_EQ(box.message, "Error in the KORVA Fax settings");
                EXPECT_EQ(box.context, c.refused);
            }
        }
    }
}
