#include "faxcourier/settings/thunderbird_profile.h"

#include "platform/paths.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

namespace korva {
namespace {

using testing::TempHome;
using testing::writeWholeFile;

const char* kPrefs =
    "user_pref(\"mail.accountmanager.accounts\", \"account2,account1\");\n"
    "user_pref(\"mail.accountmanager.defaultaccount\", \"account1\");\n"
    "user_pref(\"mail.account.account1.server\", \"server1\");\n"
    "user_pref(\"mail.account.account1.identities\", \"id1,id2\");\n"
    "user_pref(\"mail.account.account2.server\", \"server2\");\n"
    "user_pref(\"mail.server.server1.hostname\", \"korva.example.com\");\n"
    "user_pref(\"mail.server.server1.userName\", \"anna\");\n"
    "user_pref(\"mail.server.server1.type\", \"pop3\");\n"
    "user_pref(\"mail.server.server1.port\", 1110);\n"
    "user_pref(\"mail.server.server2.hostname\", \"Local Folders\");\n"
    "user_pref(\"mail.server.server2.type\", \"none\");\n"
    "user_pref(\"mail.identity.id1.useremail\", \"anna@example.com\");\n"
    "user_pref(\"mail.identity.id1.fullName\", \"Anna Alt\");\n"
    "user_pref(\"mail.identity.id1.smtpServer\", \"smtp2\");\n"
    "user_pref(\"mail.identity.id2.useremail\", \"other@example.com\");\n"
    "user_pref(\"mail.smtp.defaultserver\", \"smtp1\");\n"
    "user_pref(\"mail.smtpserver.smtp1.port\", 465);\n"
    "user_pref(\"mail.smtpserver.smtp2.port\", 2525);\n";

TEST(ThunderbirdProfile, InstallDefaultWinsOverProfileFlag)
{
    const char* ini =
        "[Profile1]\nName=old\nIsRelative=1\nPath=old.default\nDefault=1\n\n"
        "[Profile0]\nName=new\nIsRelative=1\nPath=abc.default-release\n\n"
        "[Install4F96D1932A9F858E]\nDefault=abc.default-release\nLocked=1\n";
    EXPECT_EQ(defaultProfileFolder(ini, "/h/.thunderbird"), "/h/.thunderbird/abc.default-release");
}

TEST(ThunderbirdProfile, ProfileMarkedDefaultOrTheOnlyOne)
{
    EXPECT_EQ(defaultProfileFolder("[Profile0]\nPath=a\n[Profile1]\nPath=/abs/b\nIsRelative=0\nDefault=1\n", "/t"),
              "/abs/b");
    EXPECT_EQ(defaultProfileFolder("[General]\nVersion=2\n[Profile0]\r\nPath=only\r\nIsRelative=1\r\n", "/t"),
              "/t/only");
    EXPECT_FALSE(defaultProfileFolder("[Profile0]\nPath=a\n[Profile1]\nPath=b\n", "/t"));
    EXPECT_FALSE(defaultProfileFolder("", "/t"));
}

TEST(ThunderbirdProfile, DefaultAccountWithItsIdentityAndSmtpServer)
{
    std::optional<ThunderbirdAccount> account = defaultAccount(parsePrefsJs(kPrefs));
    ASSERT_TRUE(account);
    EXPECT_EQ(account->incomingHost, "korva.example.com");
    EXPECT_EQ(account->incomingUserName, "anna");
    EXPECT_EQ(account->incomingType, "pop3");
    EXPECT_EQ(account->incomingPort, 1110u);
    EXPECT_EQ(account->email, "anna@example.com");
    EXPECT_EQ(account->fullName, "Anna Alt");
    EXPECT_EQ(account->smtpPort, 2525u);
}

TEST(ThunderbirdProfile, FallsBackToTheFirstRealAccountAndTheDefaultSmtpServer)
{
    std::string prefs = std::string(kPrefs) +
                        "user_pref(\"mail.accountmanager.defaultaccount\", \"account2\");\n"
                        "user_pref(\"mail.identity.id1.smtpServer\", \"\");\n"
                        "user_pref(\"mail.server.server1.port\", 0);\n";
    std::optional<ThunderbirdAccount> account = defaultAccount(parsePrefsJs(prefs));
    ASSERT_TRUE(account);
    EXPECT_EQ(account->incomingHost, "korva.example.com");
    EXPECT_FALSE(account->incomingPort);
    EXPECT_EQ(account->smtpPort, 465u);
}

TEST(ThunderbirdProfile, NoMailAccountGivesNothing)
{
    EXPECT_FALSE(
        defaultAccount(parsePrefsJs("user_pref(\"mail.accountmanager.accounts\", \"account2\");\n"
                                    "user_pref(\"mail.account.account2.server\", \"server2\");\n"
                                    "user_pref(\"mail.server.server2.hostname\", \"Local Folders\");\n"
                                    "user_pref(\"mail.server.server2.type\", \"none\");\n")));
    EXPECT_FALSE(defaultAccount(Prefs{}));
}

TEST(ThunderbirdProfile, ReadsTheFilesBelowTheHomeFolder)
{
    TempHome home;
    EXPECT_FALSE(readThunderbirdAccount(homeFolder()));
    ASSERT_TRUE(makeFolders(home.path() + "/.thunderbird/x1.default", 0700).ok());
    writeWholeFile(home.path() + "/.thunderbird/profiles.ini",
                   "[Profile0]\nName=default\nIsRelative=1\nPath=x1.default\n");
    EXPECT_FALSE(readThunderbirdAccount(homeFolder()));  // no prefs.js yet
    writeWholeFile(home.path() + "/.thunderbird/x1.default/prefs.js", kPrefs);
    std::optional<ThunderbirdAccount> account = readThunderbirdAccount(homeFolder());
    ASSERT_TRUE(account);
    EXPECT_EQ(account->email, "anna@example.com");
}

}  // namespace
}  // namespace korva
