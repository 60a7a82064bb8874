#include "faxcourier/settings/settings.h"

#include "faxcourier/settings/password_codec.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace korva {
namespace {

using testing::CapturedBoxes;
using testing::TempHome;

std::string userHivePath(const TempHome& home) { return home.configHome() + "/KORVAFax/HKEY_CURRENT_USER.reg"; }

void writeUserHive(const TempHome& home, const std::string& body)
{
    ASSERT_TRUE(makeFolders(home.configHome() + "/KORVAFax", 0700).ok());
    testing::writeWholeFile(userHivePath(home),
                            "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\ZETH\\KORVAFaxDriver]\n" + body);
}

TEST(SettingsStore, MissingKeyKeepsTheDefaults)
{
    TempHome home;
    Settings settings;
    LoadSettings(settings);
    EXPECT_TRUE(settings.Server.IsEmpty());
    EXPECT_TRUE(settings.Password.IsEmpty());
    EXPECT_EQ(settings.SMTPServerPort, 25u);
    EXPECT_EQ(settings.POP3ServerPort, 110u);
    EXPECT_EQ(settings.LDAPServerPort, 389u);
    EXPECT_FALSE(settings.Debug);
    EXPECT_FALSE(settings.NoConfig);
}

TEST(SettingsStore, LoadsEveryValue)
{
    TempHome home;
    std::string password = EncodePassword("geheim").Text();
    writeUserHive(home,
                  "\"Server\"=\"korva.example.com\"\n\"SMTPServerPort\"=dword:0000024b\n"
                  "\"POP3ServerPort\"=dword:00000457\n\"LDAPServerPort\"=dword:00000d0d\n"
                  "\"Username\"=\"anna\"\n\"Password\"=\"" +
                      password +
                      "\"\n"
                      "\"EmailAddress\"=\"anna@example.com\"\n\"FaxAddress\"=\"fax@example.com\"\n"
                      "\"RealName\"=\"Anna \\\"A\\\" Alt\"\n\"Company\"=\"Alt & Co\"\n\"PhoneNumber\"=\"+49 1\"\n"
                      "\"FaxNumber\"=\"+49 2\"\n\"CoverPages\"=\"Standard\\r\\nUrgent\"\n"
                      "\"Debug\"=dword:00000001\n\"NoConfig\"=dword:00000002\n");
    Settings settings;
    LoadSettings(settings);
    EXPECT_STREQ(settings.Server.Text(), "korva.example.com");
    EXPECT_EQ(settings.SMTPServerPort, 587u);
    EXPECT_EQ(settings.POP3ServerPort, 1111u);
    EXPECT_EQ(settings.LDAPServerPort, 3341u);
    EXPECT_STREQ(settings.Username.Text(), "anna");
    EXPECT_STREQ(settings.Password.Text(), "geheim");
    EXPECT_STREQ(settings.EmailAddress.Text(), "anna@example.com");
    EXPECT_STREQ(settings.FaxAddress.Text(), "fax@example.com");
    EXPECT_STREQ(settings.RealName.Text(), "Anna \"A\" Alt");
    EXPECT_STREQ(settings.Company.Text(), "Alt & Co");
    EXPECT_STREQ(settings.PhoneNumber.Text(), "+49 1");
    EXPECT_STREQ(settings.FaxNumber.Text(), "+49 2");
    EXPECT_STREQ(settings.CoverPages.Text(), "Standard\r\nUrgent");
    EXPECT_TRUE(settings.Debug);
    EXPECT_TRUE(settings.NoConfig);
}

TEST(SettingsStore, MissingDwordsChangeNothingAndMissingTextsEmpty)
{
    TempHome home;
    writeUserHive(home, "\"Server\"=\"korva\"\n\"Debug\"=dword:00000000\n");
    Settings settings;
    settings.SMTPServerPort = 1;
    settings.POP3ServerPort = 2;
    settings.LDAPServerPort = 3;
    settings.Debug = true;
    settings.NoConfig = true;
    settings.Username = "stale";
    LoadSettings(settings);
    EXPECT_STREQ(settings.Server.Text(), "korva");
    EXPECT_EQ(settings.SMTPServerPort, 1u);
    EXPECT_EQ(settings.POP3ServerPort, 2u);
    EXPECT_EQ(settings.LDAPServerPort, 3u);
    EXPECT_FALSE(settings.Debug);    // present and zero
    EXPECT_TRUE(settings.NoConfig);  // absent
    EXPECT_TRUE(settings.Username.IsEmpty());
}

TEST(SettingsStore, OddLengthStoredPasswordDecodesItsLastDigit)
{
    TempHome home;
    std::string stored = std::string(EncodePassword("ab").Text()).substr(0, 3);
    writeUserHive(home, "\"Password\"=\"" + stored + "\"\n");
    Settings settings;
    LoadSettings(settings);
    EXPECT_EQ(settings.Password.Length(), 2u);
    EXPECT_EQ(settings.Password.GetAt(0), 'a');
    EXPECT_STREQ(settings.Password.Text(), DecodePassword(stored.c_str()).Text());
}

Settings filledSettings()
{
    Settings settings;
    settings.Server = "korva.example.com";
    settings.SMTPServerPort = 70000;  // stored as typed
    settings.POP3ServerPort = 0;
    settings.LDAPServerPort = 636;
    settings.Username = "anna";
    settings.Password = "pw";
    settings.EmailAddress = "anna@example.com";
    settings.FaxAddress = "fax@example.com";
    settings.CoverPages = "A\r\nB";
    settings.configurationNeeded = true;
    return settings;
}

TEST(SettingsStore, SaveWritesEverythingInOrderAndLoadsBack)
{
    TempHome home;
    Settings saved = filledSettings();
    ASSERT_TRUE(SaveSettings(saved));
    EXPECT_FALSE(saved.configurationNeeded);
    EXPECT_EQ(testing::fileMode(userHivePath(home)), 0600u);

    std::string text = testing::readWholeFile(userHivePath(home));
    const char* order[] = {"\"Server\"",         "\"Username\"",   "\"Password\"",       "\"EmailAddress\"",
                           "\"FaxAddress\"",     "\"RealName\"",   "\"Company\"",        "\"PhoneNumber\"",
                           "\"FaxNumber\"",      "\"CoverPages\"", "\"SMTPServerPort\"", "\"POP3ServerPort\"",
                           "\"LDAPServerPort\"", "\"Encryption\""};
    size_t last = 0;
    for (const char* name : order) {
        size_t at = text.find(name);
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_GT(at, last) << name;
        last = at;
    }
    EXPECT_NE(text.find(std::string("\"Password\"=\"") + EncodePassword("pw").Text() + "\""), std::string::npos);
    EXPECT_EQ(text.find("\"pw\""), std::string::npos);
    EXPECT_EQ(text.find("Debug"), std::string::npos);
    EXPECT_EQ(text.find("NoConfig"), std::string::npos);

    RegistryKey key;
    ASSERT_EQ(key.open(RegistryHive::CurrentUser, kSettingsKey), kRegOk);
    uint32_t type = 0, size = 0;
    ASSERT_EQ(key.queryValue("RealName", &type, nullptr, &size), kRegOk);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 1u);  // an empty text is one NUL

    Settings loaded;
    LoadSettings(loaded);
    EXPECT_STREQ(loaded.Password.Text(), "pw");
    EXPECT_STREQ(loaded.CoverPages.Text(), "A\r\nB");
    EXPECT_EQ(loaded.SMTPServerPort, 70000u);
    EXPECT_EQ(loaded.POP3ServerPort, 0u);
    EXPECT_EQ(loaded.LDAPServerPort, 636u);
}

TEST(SettingsStore, EncryptionAndCaFileLoadAndAPasswordInTheKeyringIsNotStored)
{
    TempHome home;
    writeUserHive(home, "\"Encryption\"=dword:00000002\n\"TLSCAFile\"=\"/etc/korva/ca.pem\"\n");
    Settings settings;
    LoadSettings(settings);
    EXPECT_EQ(settings.Encryption, kEncryptionTls);
    EXPECT_STREQ(settings.TLSCAFile.Text(), "/etc/korva/ca.pem");

    settings = filledSettings();
    settings.Encryption = kEncryptionStartTls;
    settings.passwordInKeyring = true;
    ASSERT_TRUE(SaveSettings(settings));
    std::string text = testing::readWholeFile(userHivePath(home));
    EXPECT_NE(text.find("\"Password\"=\"\""), std::string::npos);
    EXPECT_EQ(text.find(EncodePassword("pw").Text()), std::string::npos);
    Settings loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.Encryption, kEncryptionStartTls);
    EXPECT_TRUE(loaded.Password.IsEmpty());
}

TEST(SettingsStore, TheDirectoryNamesLoadAndSaveAndAreEmptyWhenAbsent)
{
    TempHome home;
    Settings absent;
    LoadSettings(absent);
    EXPECT_TRUE(absent.LDAPBaseDN.IsEmpty());
    EXPECT_TRUE(absent.LDAPBindDN.IsEmpty());

    writeUserHive(home,
                  "\"LDAPBaseDN\"=\"ou=people,dc=example,dc=com\"\n"
                  "\"LDAPBindDN\"=\"uid=demo,ou=people,dc=example,dc=com\"\n");
    Settings settings;
    LoadSettings(settings);
    EXPECT_STREQ(settings.LDAPBaseDN.Text(), "ou=people,dc=example,dc=com");
    EXPECT_STREQ(settings.LDAPBindDN.Text(), "uid=demo,ou=people,dc=example,dc=com");

    settings = filledSettings();
    settings.LDAPBaseDN = "dc=example,dc=com";
    ASSERT_TRUE(SaveSettings(settings));
    Settings loaded;
    LoadSettings(loaded);
    EXPECT_STREQ(loaded.LDAPBaseDN.Text(), "dc=example,dc=com");
    EXPECT_TRUE(loaded.LDAPBindDN.IsEmpty());
}

TEST(SettingsStore, SaveThatCannotWriteSaysSoAndKeepsMemory)
{
    TempHome home;
    ASSERT_TRUE(makeFolders(userHivePath(home), 0700).ok());  // a folder where the file belongs
    CapturedBoxes boxes;
    Settings settings = filledSettings();
    EXPECT_FALSE(SaveSettings(settings));
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.boxes()[0].first, "");
    EXPECT_EQ(boxes.boxes()[0].second, "Error saving settings");
    EXPECT_TRUE(settings.configurationNeeded);
    EXPECT_STREQ(settings.Server.Text(), "korva.example.com");
}

TEST(SettingsStore, FirstMissingRequiredSettingNamesItsControl)
{
    Settings settings = filledSettings();
    EXPECT_EQ(missingRequiredSetting(settings), 0);
    settings.FaxAddress.Clear();
    EXPECT_EQ(missingRequiredSetting(settings), 1018);
    settings.EmailAddress.Clear();
    EXPECT_EQ(missingRequiredSetting(settings), 1017);
    settings.Password.Clear();
    EXPECT_EQ(missingRequiredSetting(settings), 1012);
    settings.Username.Clear();
    EXPECT_EQ(missingRequiredSetting(settings), 1011);
    settings.Server.Clear();
    EXPECT_EQ(missingRequiredSetting(settings), 1010);
}

}  // namespace
}  // namespace korva
