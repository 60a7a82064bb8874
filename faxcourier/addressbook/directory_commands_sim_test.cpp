// The directory commands against korva-sim, checked through the next read.
#include "faxcourier/net/directory_commands.h"

#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/testing/directory_sim.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/server_error_capture.h"
#include "faxcourier/settings/settings.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

using namespace korva;
using namespace korva::testing;

namespace {

std::string text(const String& s) { return s.Text(); }

class DirectoryCommandsSim : public ::testing::Test {
protected:
    DirectoryCommandsSim()
        : sim(home.path(),
              {{{"cn", "Anna"}, {"fax", "1"}, {"mail", "anna@example.com"}, {"_deletable", "1"}, {"_editable", "1"}},
               {{"cn", "Fixed"}, {"mail", "fixed@example.com"}}})
    {
        sim.useInSettings();
    }

    TempHome home;
    DirectorySim sim;
    CapturedServerErrors boxes;
};

}  // namespace

TEST_F(DirectoryCommandsSim, NewEntryIsCreatedAndShowsInTheNextSearch)
{
    AttributeMap oldMap;
    AttributeMap newMap{
        {"CN", "Carl \xC9"}, {"FAX", "0301;0302"}, {"O", "Yarrow"}, {"POSTALADDRESS", "1 Road\r\nTown"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap);
    ASSERT_TRUE(boxes.boxes().empty());
    String id = newMap["OBJECTID"];
    EXPECT_EQ(text(id).rfind("MAIL=", 0), 0u);

    AttributeMap read = ReadDirectoryEntry(id);
    EXPECT_EQ(text(read["CN"]), "Carl \xC3\x89");
    EXPECT_EQ(text(read["POSTALADDRESS"]), "1 Road\r\nTown");
    EXPECT_EQ(text(read["_EDITABLE"]), "1");

    runDirectorySearch(currentLdapLogon());
    std::lock_guard lock(addressBookLock);
    ASSERT_EQ(addressEntries.size(), 3u);
    EXPECT_EQ(text(addressEntries[2].dn), text(id));
    EXPECT_EQ(text(addressEntries[2].fax), "0301;0302");
    EXPECT_TRUE(addressEntries[2].deletable);
}

TEST_F(DirectoryCommandsSim, MailChangeRenamesTheEntryBeforeTheMobileChange)
{
    AttributeMap oldMap = ReadDirectoryEntry("MAIL=anna@example.com,carl");
    AttributeMap newMap{{"CN", "Anna"}, {"FAX", "1"}, {"MAIL", "berta@example.com"}, {"MOBILE", "0170"}};
    SaveDirectoryEntry(nullptr, oldMap, newMap);
    ASSERT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(text(newMap["OBJECTID"]), "MAIL=berta@example.com,carl");
    AttributeMap read = ReadDirectoryEntry("MAIL=berta@example.com,carl");
    EXPECT_EQ(text(read["MOBILE"]), "0170");
    EXPECT_TRUE(ReadDirectoryEntry("MAIL=anna@example.com,carl").empty());
}

TEST_F(DirectoryCommandsSim, DeleteRemovesTheEntryAndARefusalShowsTheServersReply)
{
    EXPECT_TRUE(DeleteDirectoryEntry(nullptr, "MAIL=anna@example.com,carl"));
    EXPECT_TRUE(ReadDirectoryEntry("MAIL=anna@example.com,carl").empty());
    EXPECT_FALSE(DeleteDirectoryEntry(nullptr, "MAIL=fixed@example.com,carl"));
    auto shown = boxes.boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, "Error Deleting LDAP Entry");
    EXPECT_EQ(shown[0].detail.rfind("-ERR", 0), 0u);
}

TEST_F(DirectoryCommandsSim, WrongPasswordIsRefusedAtThePasswordStep)
{
    globalSettings().Password = "wrong";
    EXPECT_FALSE(DeleteDirectoryEntry(nullptr, "MAIL=anna@example.com,carl"));
    auto shown = boxes.boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, "Error logging on to KORVA");
    EXPECT_EQ(shown[0].context, "PASSWORD");
}

// The debug log may name servers, commands and entries, never the password
// (nor its base64 form), whether the logon works or not.
TEST_F(DirectoryCommandsSim, PasswordNeverReachesTheDebugLog)
{
    korva::testing::ScopedSeam debugLogging(korva::setDebugLogging, true);
    AttributeMap oldMap = ReadDirectoryEntry("MAIL=anna@example.com,carl");
    AttributeMap newMap = oldMap;
    newMap["TITLE"] = "Buyer";
    SaveDirectoryEntry(nullptr, oldMap, newMap);
    runDirectorySearch(currentLdapLogon());
    globalSettings().Password = "Wr0ng pass";
    EXPECT_FALSE(DeleteDirectoryEntry(nullptr, "MAIL=anna@example.com,carl"));
    LdapLogon wrong = currentLdapLogon();
    wrong.password = "Wr0ng pass";
    runDirectorySearch(wrong);

    std::string log = readWholeFile(logFilePath());
    EXPECT_NE(log.find("logon"), std::string::npos) << "the log was written: " << log;
    for (const char* secret : {kSimPassword, "czNjcmV0IHB3", "Wr0ng pass", "V3IwbmcgcGFzcw"})
        EXPECT_EQ(log.find(secret), std::string::npos) << secret << " in the log:\n" << log;
}
