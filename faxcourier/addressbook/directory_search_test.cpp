#include "faxcourier/addressbook/directory_search.h"

#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/ldap_component.h"
#include "faxcourier/addressbook/testing/directory_sim.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/settings/settings.h"
#include "platform/testing/poll_until.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <set>
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
    {{"cn", "Early"}, {"cn", "Late"}, {"fax", "8"}, {"fax", "9"}, {"mail", "twice@example.com"}, {"_editable", "1"}},
    {{"Cn", "Stock"},
     {"O", "Slapd"},
     {"facsimileTelephoneNumber", "10"},
     {"_Deletable", "1"},
     {"mail", "s@example.com"}},
};

}  // namespace

TEST_F(DirectorySearch, ListSearchFillsTheTableByAnyNameOfTheAttributesInAnyCase)
{
    DirectorySim sim(home.path(), kSeed);
    seedTable(3);
    runDirectorySearch(sim.logon());
    auto table = tableNow();
    ASSERT_EQ(table.size(), 7u);
    EXPECT_EQ(text(table[0].dn), "MAIL=anna@example.com,carl");
    EXPECT_EQ(text(table[0].name), "Anna");
    EXPECT_EQ(text(table[0].company), "Yarrow");
    EXPECT_EQ(text(table[0].fax), "0301;0302");
    EXPECT_TRUE(table[0].deletable);
    EXPECT_EQ(text(table[1].fax), "");
    EXPECT_FALSE(table[1].deletable);
    EXPECT_FALSE(table[2].deletable);  // "true"
    EXPECT_FALSE(table[3].deletable);  // "1 "
    EXPECT_EQ(text(table[4].name), "Upper");
    EXPECT_EQ(text(table[4].fax), "7");
    EXPECT_EQ(text(table[5].name), "Late");
    EXPECT_EQ(text(table[5].fax), "9");
    EXPECT_EQ(text(table[6].name), "Stock");
    EXPECT_EQ(text(table[6].company), "Slapd");
    EXPECT_EQ(text(table[6].fax), "10");
    EXPECT_TRUE(table[6].deletable);
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
    ldap_seam::ScopedTimeouts timeouts(400, 400);
    auto start = std::chrono::steady_clock::now();
    AttributeMap read =
        ReadDirectoryEntry("MAIL=x,carl", LdapLogon{"127.0.0.1", unsigned(silent.port()), kSimUser, kSimPassword});
    runDirectorySearch(LdapLogon{"127.0.0.1", unsigned(silent.port()), kSimUser, kSimPassword});
    auto took = std::chrono::steady_clock::now() - start;
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

TEST_F(DirectorySearch, EntryReadKeysTheStandardNamesAsTheDialogReadsThem)
{
    DirectorySim sim(home.path(), kSeed);
    AttributeMap stock = ReadDirectoryEntry("MAIL=s@example.com,carl", sim.logon());
    EXPECT_EQ(text(stock["CN"]), "Stock");
    EXPECT_EQ(text(stock["O"]), "Slapd");
    EXPECT_EQ(text(stock["FAX"]), "10");
    EXPECT_EQ(stock.count("FACSIMILETELEPHONENUMBER"), 0u);
}

namespace {

constexpr int kManyEntries = 30000;

// Entry n carries its number in every attribute, so a row that mixes two
// entries, or one cut short, gives itself away.
std::vector<SeedEntry> numberedEntries(int count)
{
    std::vector<SeedEntry> entries;
    entries.reserve(size_t(count));
    for (int n = 0; n < count; ++n) {
        std::string id = std::to_string(n);
        entries.push_back({{"cn", "Person " + id},
                           {"o", "Firm " + id},
                           {"fax", "0301-" + id},
                           {"_deletable", n % 2 ? "1" : "0"},
                           {"mail", "p" + id + "@example.com"}});
    }
    return entries;
}

// True once the search that followed `generation` has delivered rows.
bool rowsArrived(unsigned long generation)
{
    std::lock_guard lock(addressBookLock);
    return addressEntriesGeneration != generation && !addressEntries.empty();
}

}  // namespace

TEST_F(DirectorySearch, ServerKilledInTheMiddleOfASearchEndsItAndKeepsTheRowsRead)
{
    auto sim = std::make_unique<DirectorySim>(home.path(), numberedEntries(kManyEntries));
    sim->useInSettings();
    seedTable(2);
    unsigned long generation = addressEntriesGeneration;
    startDirectorySearch();
    // Checked often, so that the server dies while most rows are still to come.
    ASSERT_TRUE(
        pollUntil([&] { return rowsArrived(generation); }, std::chrono::seconds(20), std::chrono::milliseconds(1)));
    sim->kill();
    auto killed = std::chrono::steady_clock::now();
    // The connection's end is seen at once: no time-out is needed to end it.
    ASSERT_TRUE(waitForDirectorySearches(30000));
    EXPECT_LT(std::chrono::steady_clock::now() - killed, std::chrono::seconds(5));

    auto table = tableNow();
    ASSERT_GT(table.size(), 0u);
    EXPECT_LT(table.size(), size_t(kManyEntries));  // it really was cut short
    std::set<std::string> seen;
    for (const AddressEntry& row : table) {
        std::string dn = text(row.dn);
        ASSERT_EQ(dn.rfind("MAIL=p", 0), 0u) << dn;
        std::string id = dn.substr(6, dn.find('@') - 6);
        EXPECT_EQ(dn, "MAIL=p" + id + "@example.com,carl");
        EXPECT_EQ(text(row.name), "Person " + id);
        EXPECT_EQ(text(row.company), "Firm " + id);
        EXPECT_EQ(text(row.fax), "0301-" + id);
        EXPECT_EQ(row.deletable, std::stoi(id) % 2 == 1);
        EXPECT_TRUE(seen.insert(id).second) << "twice: " << id;
    }
    std::string log = readWholeFile(logFilePath());
    EXPECT_NE(log.find("ended early - error 81 "), std::string::npos) << log;
    EXPECT_NE(log.find(std::to_string(table.size()) + " entries read"), std::string::npos) << log;

    // A later search against a server that is up again works as ever.
    sim.reset();
    DirectorySim again(home.path(), kSeed);
    again.useInSettings();
    startDirectorySearch();
    ASSERT_TRUE(waitForDirectorySearches(20000));
    table = tableNow();
    ASSERT_EQ(table.size(), kSeed.size());
    EXPECT_EQ(text(table[0].name), "Anna");
    EXPECT_EQ(text(table[5].fax), "9");
}
