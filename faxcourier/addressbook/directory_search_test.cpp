#include "faxcourier/addressbook/directory_search.h"

#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/ldap_component.h"
#include "faxcourier/addressbook/testing/directory_sim.h"
#include "faxcourier/settings/settings.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace korva;
using namespace korva::testing;

namespace {

std::vector<AddressEntry> tableNow()
{
    std::lock_guard lock(addressBookLock);
    return addressEntries;
}

void seedTable(int count)
{
    std::lock_guard lock(addressBookLock);
    addressEntries.assign(size_t(count), AddressEntry{"MAIL=old,carl", "Old", "1", "", true});
}

std::string text(const String& s) { return s.Text(); }

class DirectorySearch : public ::testing::Test {
protected:
    TempHome home;
};

const std::vector<SeedEntry> kSeed = {
    {{"cn", "Anna"}, {"o", "Yarrow"}, {"fax", "0301;0302"}, {"_deletable", "1"}, {"mail", "anna@example.com"}},
    {{"cn", "No Fax"}, {"_deletable", "0"}, {"mail", "nofax@example.com"}},
    {{"cn", "Truthy"}, {"fax", "5"}, {"_deletable", "true"}, {"mail", "t@example.com"}},
    {{"cn", "Blank"}, {"fax", "6"}, {"_deletable", "1 "}, {"mail", "b@example.com"}},
    {{"CN", "Upper"}, {"fax", "7"}, {"mail", "u@example.com"}, {"title", "Chief"}},
    {{"cn", "Early"}, {"cn", "Late"}, {"fax", "8"}, {"fax", "9"}, {"mail", "twice@example.com"},
     {"_editable", "1"}},
};

}  // namespace

TEST_F(DirectorySearch, ListSearchFillsTheTableByTheExactLowerCaseNames)
{
    DirectorySim sim(home.path(), kSeed);
    seedTable(3);
    runDirectorySearch(sim.logon());
    auto table = tableNow();
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(text(table[0].dn), "MAIL=anna@example.com,carl");
    EXPECT_EQ(text(table[0].name), "Anna");
    EXPECT_EQ(text(table[0].company), "Yarrow");
    EXPECT_EQ(text(table[0].fax), "0301;0302");
    EXPECT_TRUE(table[0].deletable);
    EXPECT_EQ(text(table[1].fax), "");
    EXPECT_FALSE(table[1].deletable);
    EXPECT_FALSE(table[2].deletable);  // "true"
    EXPECT_FALSE(table[3].deletable);  // "1 "
    EXPECT_EQ(text(table[4].name), "");  // "CN" is not "cn"
    EXPECT_EQ(text(table[4].fax), "7");
    EXPECT_EQ(text(table[5].name), "Late");
    EXPECT_EQ(text(table[5].fax), "9");
}

TEST_F(DirectorySearch, ThreadUsesTheSettingsAndAnEmptyDirectoryLeavesAnEmptyTable)
{
    DirectorySim sim(home.path(), {});
    sim.useInSettings();
    seedTable(2);
    unsigned long generation = addressEntriesGeneration;
    startDirectorySearch();
    ASSERT_TRUE(waitForDirectorySearches(20000));
    EXPECT_TRUE(tableNow().empty());
    EXPECT_EQ(addressEntriesGeneration, generation + 1);
}

TEST_F(DirectorySearch, UnreachableServerEndsTheSearchAtOnceWithAnEmptyTable)
{
    seedTable(2);
    auto start = std::chrono::steady_clock::now();
    runDirectorySearch(LdapLogon{"127.0.0.1", unsigned(closedPort()), kSimUser, kSimPassword});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(tableNow().empty());
}

TEST_F(DirectorySearch, SilentServerEndsTheWaitWithinTheTimeOut)
{
    SilentServer silent;
    ldap_seam::setTimeoutsMs(400, 400);
    auto start = std::chrono::steady_clock::now();
    AttributeMap read = ReadDirectoryEntry("MAIL=x,carl", LdapLogon{"127.0.0.1", unsigned(silent.port()), kSimUser, kSimPassword});
    runDirectorySearch(LdapLogon{"127.0.0.1", unsigned(silent.port()), kSimUser, kSimPassword});
    auto took = std::chrono::steady_clock::now() - start;
    ldap_seam::setTimeoutsMs(-1, -1);
    EXPECT_TRUE(read.empty());
    EXPECT_GE(took, std::chrono::milliseconds(700));
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST_F(DirectorySearch, DefaultTimeOutsEndASilentServerWithinThirtySeconds)
{
    SilentServer silent;
    auto start = std::chrono::steady_clock::now();
    // Nothing answers the bind: the operation time-out alone ends it.
    runDirectorySearch(LdapLogon{"127.0.0.1", unsigned(silent.port()), kSimUser, kSimPassword});
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::seconds(19));
    EXPECT_LE(took, std::chrono::seconds(30));
}

TEST_F(DirectorySearch, EntryReadUpperCasesNamesAndKeepsTheLaterValue)
{
    DirectorySim sim(home.path(), kSeed);
    AttributeMap upper = ReadDirectoryEntry("MAIL=u@example.com,carl", sim.logon());
    EXPECT_EQ(text(upper["OBJECTID"]), "MAIL=u@example.com,carl");
    EXPECT_EQ(text(upper["CN"]), "Upper");
    EXPECT_EQ(text(upper["TITLE"]), "Chief");
    EXPECT_EQ(upper.count("O"), 0u);
    EXPECT_EQ(upper.count("_EDITABLE"), 0u);

    AttributeMap twice = ReadDirectoryEntry("MAIL=twice@example.com,carl", sim.logon());
    EXPECT_EQ(text(twice["CN"]), "Late");
    EXPECT_EQ(text(twice["FAX"]), "9");
    EXPECT_EQ(text(twice["_EDITABLE"]), "1");
    EXPECT_EQ(text(twice["MAIL"]), "twice@example.com");
    std::vector<std::string> keys;
    for (const auto& [key, value] : twice)
        keys.push_back(key.Text());
    EXPECT_EQ(keys, (std::vector<std::string>{"CN", "FAX", "MAIL", "OBJECTID", "_EDITABLE"}));
}

TEST_F(DirectorySearch, EntryReadOfAMissingEntryIsEmpty)
{
    DirectorySim sim(home.path(), kSeed);
    EXPECT_TRUE(ReadDirectoryEntry("MAIL=nobody,carl", sim.logon()).empty());
}
