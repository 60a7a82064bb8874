// The directory over TLS against korva-sim: StartTLS and ldaps round trips
// with the conversation encrypted, and the refusals, each with its box and
// no bind sent.
#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/testing/directory_sim.h"
#include "faxcourier/foundation/server_error_capture.h"
#include "faxcourier/net/directory_commands.h"
#include "faxcourier/settings/settings.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace korva;
using namespace korva::testing;

namespace {

const std::vector<SeedEntry> kSeed = {
    {{"cn", "Anna"},
     {"o", "Yarrow"},
     {"fax", "0301"},
     {"_deletable", "1"},
     {"mail", "anna@example.com"},
     {"_editable", "1"}},
};

struct Conversation {
    bool tls = false;
    bool logon = false;
    bool logonInClear = false;
};

// The LDAP lines of the sim's conversation log (one JSON object a line).
std::vector<Conversation> ldapConversations(const std::string& log)
{
    std::vector<Conversation> found;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        line.erase(std::remove(line.begin(), line.end(), ' '), line.end());
        if (line.find("\"service\":\"ldap\"") == std::string::npos)
            continue;
        found.push_back(
            {line.find("\"tls\":true") != std::string::npos, line.find("\"logon\":true") != std::string::npos});
    }
    return found;
}

std::vector<AddressEntry> tableNow()
{
    std::lock_guard lock(addressBookLock);
    return addressEntries;
}

class DirectoryTls : public ::testing::Test {
protected:
    ~DirectoryTls() override { globalSettings() = saved; }

    TempHome home;
    Settings saved = globalSettings();
    std::string caFile() const { return home.path() + "/ca.pem"; }
    std::string logFile() const { return home.path() + "/conversations.jsonl"; }

    std::vector<std::string> simArguments(const std::vector<std::string>& tls) const
    {
        std::vector<std::string> arguments = tls;
        arguments.insert(arguments.end(), {"--tls-ca-out", caFile(), "--conversation-log", logFile()});
        return arguments;
    }
};

LdapLogon logonFor(const DirectorySim& sim, unsigned encryption, const std::string& caFile)
{
    LdapLogon logon = sim.logon();
    logon.encryption = encryption;
    logon.port = unsigned(encryption == 2 ? sim.ldapsPort() : sim.ldapPort());
    logon.caFile = caFile.c_str();
    return logon;
}

}  // namespace

TEST_F(DirectoryTls, SearchViewAndEditGoEncryptedWithEachSetting)
{
    for (unsigned encryption : {1u, 2u}) {
        SCOPED_TRACE(encryption);
        std::remove(logFile().c_str());
        CapturedServerErrors boxes;
        AttributeMap edited;
        {
            std::string folder = home.path() + "/tls" + std::to_string(encryption);
            std::filesystem::create_directories(folder);
            DirectorySim sim(folder, kSeed, simArguments({"--tls-only"}));
            sim.useInSettings();
            Settings& settings = globalSettings();
            settings.Encryption = encryption;
            settings.TLSCAFile = caFile().c_str();
            if (encryption == 2) {
                settings.LDAPServerPort = uint32_t(sim.ldapsPort());
                settings.POP3ServerPort = uint32_t(sim.pop3sPort());
            }
            runDirectorySearch(currentLdapLogon());
            auto table = tableNow();
            ASSERT_EQ(table.size(), 1u);
            EXPECT_STREQ(table[0].name.Text(), "Anna");
            EXPECT_STREQ(table[0].fax.Text(), "0301");

            AttributeMap viewed = ReadDirectoryEntry(table[0].dn);
            EXPECT_STREQ(viewed["MAIL"].Text(), "anna@example.com");
            AttributeMap changed = viewed;
            changed["FAX"] = "0302";
            SaveDirectoryEntry(nullptr, viewed, changed);
            edited = ReadDirectoryEntry(table[0].dn);
        }  // the sim ends, its log complete
        EXPECT_STREQ(edited["FAX"].Text(), "0302");
        for (const ServerErrorBox& box : boxes.boxes())
            ADD_FAILURE() << box.text;
        std::string log = readWholeFile(logFile());
        auto conversations = ldapConversations(log);
        log.erase(std::remove(log.begin(), log.end(), ' '), log.end());
        ASSERT_EQ(conversations.size(), 3u);  // the search and two entry reads
        for (const Conversation& c : conversations) {
            EXPECT_TRUE(c.tls);
            EXPECT_TRUE(c.logon);
        }
        EXPECT_EQ(log.find("\"tls\":false"), std::string::npos) << log;
        EXPECT_EQ(log.find("\"logon_in_clear\":true"), std::string::npos) << log;
    }
}

TEST_F(DirectoryTls, ARefusedConnectionShowsWhyAndSendsNoBind)
{
    struct Case {
        const char* name;
        std::vector<std::string> tls;  // the sim's TLS arguments
        unsigned encryption;
        bool trustTestCa;
        const char* detail;  // the box's last line
    };
    const Case cases[] = {
        {"StartTLS not offered", {}, 1, false, "Server is unwilling to perform: read only"},
        {"untrusted", {"--tls"}, 1, false, "The certificate of 127.0.0.1 was refused: not trusted."},
        {"untrusted ldaps", {"--tls"}, 2, false, "The certificate of 127.0.0.1 was refused: not trusted."},
        {"expired",
         {"--tls", "--tls-cert", "expired"},
         2,
         true,
         "The certificate of 127.0.0.1 was refused: certificate has expired."},
        {"other host",
         {"--tls", "--tls-cert", "other-host"},
         1,
         true,
         "The certificate of 127.0.0.1 was refused: issued for another name."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(logFile().c_str());
        CapturedServerErrors boxes;
        AttributeMap entry;
        {
            DirectorySim sim(home.path(), kSeed, simArguments(c.tls));
            LdapLogon logon = logonFor(sim, c.encryption, c.trustTestCa ? caFile() : "");
            runDirectorySearch(logon);
            entry = ReadDirectoryEntry("cn=Anna,carl", logon);
        }
        EXPECT_TRUE(tableNow().empty());
        EXPECT_TRUE(entry.empty());
        auto shown = boxes.boxes();
        ASSERT_EQ(shown.size(), 2u);  // one for each read
        EXPECT_EQ(shown[0].message, "Error logging on to KORVA");
        EXPECT_EQ(shown[0].context, c.encryption == 1 ? "StartTLS" : "TLS");
        EXPECT_EQ(shown[0].detail, c.detail);
        for (const Conversation& conversation : ldapConversations(readWholeFile(logFile())))
            EXPECT_FALSE(conversation.logon);
    }
}
