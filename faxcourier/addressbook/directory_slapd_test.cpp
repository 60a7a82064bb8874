// The address book against a stock OpenLDAP slapd: what the book lists is
// what ldapsearch finds in the same directory, in each encryption mode.
#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/list_filter.h"
#include "faxcourier/addressbook/testing/private_slapd.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/server_error_capture.h"
#include "faxcourier/settings/settings.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

using namespace korva;
using namespace korva::testing;

namespace {

constexpr int kPeople = 300;

// Name, number and company of one listed entry.
using Row = std::tuple<std::string, std::string, std::string>;

std::vector<Row> bookRows(bool faxOnly)
{
    ListFilter filter;
    filter.faxOnly = faxOnly;
    std::vector<Row> rows;
    std::lock_guard lock(addressBookLock);
    for (const AddressEntry& entry : addressEntries)
        if (passesFilter(entry, filter))
            rows.emplace_back(entry.name.Text(), entry.fax.Text(), entry.company.Text());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string firstValue(const LdifEntry& entry, const char* name)
{
    auto found = entry.values.find(name);
    return found == entry.values.end() ? std::string() : found->second.front();
}

// ldapsearch asked for the standard names and answered with them.
std::vector<Row> ldapsearchRows(const PrivateSlapd& slapd, bool faxOnly)
{
    std::vector<Row> rows;
    for (const LdifEntry& entry : slapd.search(kSlapdPeople, {"cn", "facsimileTelephoneNumber", "o"})) {
        Row row{firstValue(entry, "cn"), firstValue(entry, "facsimileTelephoneNumber"), firstValue(entry, "o")};
        if (!faxOnly || !std::get<1>(row).empty())
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

class DirectorySlapd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::string missing = PrivateSlapd::unavailable(); !missing.empty())
            GTEST_SKIP() << missing;
        std::string why = slapd.start(generatedPeople(kPeople));
        ASSERT_TRUE(why.empty()) << why;
    }
    ~DirectorySlapd() override { globalSettings() = saved; }

    // The settings of a user who types the SMTP user name and gives the
    // directory its own names.
    void useInSettings(unsigned encryption) const
    {
        Settings& settings = globalSettings();
        settings.Server = "127.0.0.1";
        settings.LDAPServerPort = uint32_t(encryption == kEncryptionTls ? slapd.ldapsPort() : slapd.ldapPort());
        settings.Username = "demo";
        settings.Password = kSlapdReaderPassword;
        settings.LDAPBindDN = kSlapdReader;
        settings.LDAPBaseDN = kSlapdPeople;
        settings.Encryption = encryption;
        settings.TLSCAFile = slapd.caFile().c_str();
    }

    TempHome home;
    Settings saved = globalSettings();
    PrivateSlapd slapd{home.path()};
};

}  // namespace

TEST_F(DirectorySlapd, TheBookListsWhatLdapsearchFindsInEachEncryptionMode)
{
    const struct {
        const char* name;
        unsigned encryption;
    } modes[] = {{"plain", kEncryptionNone}, {"StartTLS", kEncryptionStartTls}, {"ldaps", kEncryptionTls}};
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.name);
        CapturedServerErrors boxes;
        useInSettings(mode.encryption);
        startDirectorySearch();
        ASSERT_TRUE(waitForDirectorySearches(30000));
        for (bool faxOnly : {true, false}) {
            SCOPED_TRACE(faxOnly ? "only entries with fax numbers" : "all entries");
            std::vector<Row> expected = ldapsearchRows(slapd, faxOnly);
            ASSERT_EQ(expected.size(), size_t(faxOnly ? kPeople * 2 / 3 : kPeople));
            EXPECT_EQ(bookRows(faxOnly), expected);
        }
        for (const ServerErrorBox& box : boxes.boxes())
            ADD_FAILURE() << box.text;
    }
}

TEST_F(DirectorySlapd, TheEntryViewFindsEachFieldUnderItsStandardName)
{
    useInSettings(kEncryptionNone);
    const std::string dn = std::string("uid=p1,") + kSlapdPeople;
    AttributeMap read = ReadDirectoryEntry(dn.c_str());
    LdifEntry expected;
    for (const LdifEntry& entry : slapd.search(kSlapdPeople, {"*"}))
        if (entry.dn == dn)
            expected = entry;
    const struct {
        const char* key;
        const char* standard;
    } fields[] = {{"CN", "cn"},
                  {"SN", "sn"},
                  {"FAX", "facsimileTelephoneNumber"},
                  {"TELEPHONENUMBER", "telephoneNumber"},
                  {"MAIL", "mail"}};
    EXPECT_STREQ(read["OBJECTID"].Text(), dn.c_str());
    for (const auto& field : fields) {
        EXPECT_FALSE(firstValue(expected, field.standard).empty()) << field.standard;
        EXPECT_EQ(read[field.key].Text(), firstValue(expected, field.standard)) << field.key;
    }
}

TEST_F(DirectorySlapd, ARefusedBindOrSearchShowsTheServersReasonAndIsLogged)
{
    struct Case {
        const char* name;
        const char* username;
        const char* password;
        const char* bindDn;  // LDAPBindDN
        const char* baseDn;  // LDAPBaseDN
        const char* message;
        const char* detail;
    };
    const Case cases[] = {
        {"wrong password", "demo", "wrong", kSlapdReader, kSlapdPeople, "Error logging on to the directory",
         "error 49: Invalid credentials"},
        {"user name is no DN", "demo", kSlapdReaderPassword, "", "", "Error logging on to the directory",
         "error 34: invalid DN"},
        {"no such base", "demo", kSlapdReaderPassword, kSlapdReader, "ou=nobody,dc=korva,dc=test",
         "Error reading the directory", "error 32: No such object"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useInSettings(kEncryptionNone);
        Settings& settings = globalSettings();
        settings.Username = c.username;
        settings.Password = c.password;
        settings.LDAPBindDN = c.bindDn;
        settings.LDAPBaseDN = c.baseDn;
        std::remove(logFilePath().c_str());
        CapturedServerErrors boxes;
        startDirectorySearch();
        ASSERT_TRUE(waitForDirectorySearches(30000));
        EXPECT_TRUE(bookRows(false).empty());
        auto shown = boxes.boxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].message, c.message);
        EXPECT_EQ(shown[0].context, "127.0.0.1");
        EXPECT_EQ(shown[0].detail, c.detail);
        std::string log = readWholeFile(logFilePath());
        EXPECT_NE(log.find(c.detail), std::string::npos) << log;
    }
}
