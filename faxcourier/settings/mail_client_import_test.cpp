#include "faxcourier/settings/mail_client_import.h"

#include "platform/paths.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

namespace korva {
namespace {

using testing::TempHome;
using testing::writeWholeFile;

const char* kOutlookExpress =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager]\n"
    "\"Default Mail Account\"=\"00000002\"\n\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000002]\n"
    "\"POP3 Server\"=\"pop.oe.example.com\"\n\"POP3 User Name\"=\"oeuser\"\n"
    "\"SMTP Display Name\"=\"Otto Oe\"\n\"SMTP Email Address\"=\"otto@oe.example.com\"\n"
    "\"POP3 Port\"=dword:00000457\n\"SMTP Port\"=dword:0000024b\n\n";

class MailClientImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(makeFolders(home_.configHome() + "/KORVAFax", 0700).ok());
        ASSERT_TRUE(makeFolders(home_.sysconf(), 0700).ok());
    }

    void userHive(const std::string& keys)
    {
        writeWholeFile(home_.configHome() + "/KORVAFax/HKEY_CURRENT_USER.reg", "REGEDIT4\n\n" + keys);
    }

    void defaultMailProgram(const std::string& name)
    {
        writeWholeFile(home_.sysconf() + "/HKEY_LOCAL_MACHINE.reg",
                       "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail]\n@=\"" + name + "\"\n");
    }

    // The Eudora command line names this settings file.
    std::string eudoraIni(const std::string& settingsSection)
    {
        std::string path = home_.path() + "/eudora.ini";
        writeWholeFile(path, "[Personal]\nLoginName=wrong\n[Settings]\n" + settingsSection);
        return path;
    }

    void thunderbird(const std::string& prefs)
    {
        ASSERT_TRUE(makeFolders(home_.path() + "/.thunderbird/p1.default", 0700).ok());
        writeWholeFile(home_.path() + "/.thunderbird/profiles.ini",
                       "[Profile0]\nName=default\nIsRelative=1\nPath=p1.default\nDefault=1\n");
        writeWholeFile(home_.path() + "/.thunderbird/p1.default/prefs.js", prefs);
    }

    TempHome home_;
};

const char* kThunderbirdPrefs =
    "user_pref(\"mail.accountmanager.defaultaccount\", \"account1\");\n"
    "user_pref(\"mail.account.account1.server\", \"server1\");\n"
    "user_pref(\"mail.account.account1.identities\", \"id1\");\n"
    "user_pref(\"mail.server.server1.hostname\", \"korva.tb.example.com\");\n"
    "user_pref(\"mail.server.server1.userName\", \"tbuser\");\n"
    "user_pref(\"mail.server.server1.type\", \"pop3\");\n"
    "user_pref(\"mail.server.server1.port\", 1995);\n"
    "user_pref(\"mail.identity.id1.useremail\", \"tina@tb.example.com\");\n"
    "user_pref(\"mail.identity.id1.fullName\", \"Tina T\\u00f6rn\");\n"
    "user_pref(\"mail.identity.id1.smtpServer\", \"smtp1\");\n"
    "user_pref(\"mail.smtpserver.smtp1.port\", 2525);\n";

TEST_F(MailClientImport, OutlookExpressAccountWithDerivedFaxAddress)
{
    defaultMailProgram("Outlook Express");
    userHive(std::string(kOutlookExpress) +
             "[HKEY_CURRENT_USER\\Software\\Microsoft\\MS Setup (ACME)\\User Info]\n\"DefCompany\"=\"Oe GmbH\"\n");
    Settings settings;
    ImportMailClientDefaults(settings);
    EXPECT_STREQ(settings.Server.Text(), "pop.oe.example.com");
    EXPECT_STREQ(settings.Username.Text(), "oeuser");
    EXPECT_STREQ(settings.RealName.Text(), "Otto Oe");
    EXPECT_STREQ(settings.EmailAddress.Text(), "otto@oe.example.com");
    EXPECT_EQ(settings.POP3ServerPort, 1111u);
    EXPECT_EQ(settings.SMTPServerPort, 587u);
    EXPECT_STREQ(settings.Company.Text(), "Oe GmbH");
    EXPECT_STREQ(settings.FaxAddress.Text(), "fax@oe.example.com");
    EXPECT_TRUE(settings.Password.IsEmpty());
}

TEST_F(MailClientImport, OutlookExpressValueMissingEmptiesItsSetting)
{
    userHive(
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager]\n"
        "\"Default Mail Account\"=\"acc\"\n"
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager\\Accounts\\acc]\n"
        "\"POP3 Server\"=\"pop\"\n");
    Settings settings;
    settings.RealName = "kept?";
    settings.FaxAddress = "own@fax";
    ImportMailClientDefaults(settings);
    EXPECT_STREQ(settings.Server.Text(), "pop");
    EXPECT_TRUE(settings.RealName.IsEmpty());
    EXPECT_EQ(settings.POP3ServerPort, 110u);
    EXPECT_STREQ(settings.FaxAddress.Text(), "own@fax");
}

TEST_F(MailClientImport, EudoraCurrentWithoutSpacesIsTheSettingsFile)
{
    std::string ini = eudoraIni(
        "LoginName=eve\nPopServer=pop.eudora.example.com\n"
        "ReturnAddress=eve@eudora.example.com\nRealName=Eve Eudora\n");
    userHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine]\n\"Current\"=\"" + ini + "\"\n");
    Settings settings;
    settings.SMTPServerPort = 9;
    ImportMailClientDefaults(settings);
    EXPECT_STREQ(settings.Server.Text(), "pop.eudora.example.com");
    EXPECT_STREQ(settings.Username.Text(), "eve");
    EXPECT_STREQ(settings.EmailAddress.Text(), "eve@eudora.example.com");
    EXPECT_STREQ(settings.RealName.Text(), "Eve Eudora");
    EXPECT_EQ(settings.SMTPServerPort, 25u);
    EXPECT_EQ(settings.POP3ServerPort, 110u);
    EXPECT_STREQ(settings.FaxAddress.Text(), "fax@eudora.example.com");
}

TEST_F(MailClientImport, EudoraReplacesOutlookExpressWhenItIsTheDefault)
{
    defaultMailProgram("eudora");
    std::string ini = eudoraIni("POPAccount=eve@pop.eudora.example.com\nReturnAddress=eve@eudora.example.com\n");
    userHive(std::string(kOutlookExpress) +
             "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine]\n"
             "\"Current\"=\"C:\\\\Eudora\\\\Eudora.exe /n " +
             ini + "\"\n");
    Settings settings;
    ImportMailClientDefaults(settings);
    EXPECT_STREQ(settings.Server.Text(), "pop.eudora.example.com");
    EXPECT_STREQ(settings.Username.Text(), "eve");
    EXPECT_STREQ(settings.EmailAddress.Text(), "eve@eudora.example.com");
    EXPECT_TRUE(settings.RealName.IsEmpty());  // Eudora's missing RealName replaces Otto's
    EXPECT_EQ(settings.POP3ServerPort, 110u);
    EXPECT_EQ(settings.SMTPServerPort, 25u);
    EXPECT_STREQ(settings.FaxAddress.Text(), "fax@eudora.example.com");
}

TEST_F(MailClientImport, EudoraIsSkippedWhenOutlookExpressFoundAServer)
{
    std::string ini = eudoraIni("LoginName=eve\nPopServer=pop.eudora.example.com\n");
    userHive(std::string(kOutlookExpress) +
             "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine]\n"
             "\"Current\"=\"" +
             ini + "\"\n");
    Settings settings;
    ImportMailClientDefaults(settings);
    EXPECT_STREQ(settings.Server.Text(), "pop.oe.example.com");
    EXPECT_EQ(settings.SMTPServerPort, 587u);
}

TEST_F(MailClientImport, ThunderbirdFillsWhatIsStillEmpty)
{
    thunderbird(kThunderbirdPrefs);
    Settings settings;
    settings.RealName = "Given Name";
    ImportMailClientDefaults(settings);
    EXPECT_STREQ(settings.Server.Text(), "korva.tb.example.com");
    EXPECT_STREQ(settings.Username.Text(), "tbuser");
    EXPECT_STREQ(settings.EmailAddress.Text(), "tina@tb.example.com");
    EXPECT_STREQ(settings.RealName.Text(), "Given Name");
    EXPECT_EQ(settings.POP3ServerPort, 1995u);
    EXPECT_EQ(settings.SMTPServerPort, 2525u);
    EXPECT_STREQ(settings.FaxAddress.Text(), "fax@tb.example.com");
    EXPECT_TRUE(settings.Password.IsEmpty());

    Settings unnamed;
    ImportMailClientDefaults(unnamed);
    EXPECT_STREQ(unnamed.RealName.Text(), "Tina T\xF6rn");
}

TEST_F(MailClientImport, ThunderbirdKeepsWhatEudoraFound)
{
    thunderbird(kThunderbirdPrefs);
    std::string ini = eudoraIni("POPAccount=no-at-sign\nReturnAddress=eve@eudora.example.com\n");
    userHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine]\n\"Current\"=\"" + ini + "\"\n");
    Settings settings;
    ImportMailClientDefaults(settings);
    EXPECT_STREQ(settings.Server.Text(), "korva.tb.example.com");
    EXPECT_STREQ(settings.EmailAddress.Text(), "eve@eudora.example.com");
    EXPECT_STREQ(settings.FaxAddress.Text(), "fax@eudora.example.com");
}

TEST_F(MailClientImport, ThunderbirdIsNotAskedOnceAServerIsKnown)
{
    thunderbird(kThunderbirdPrefs);
    userHive(kOutlookExpress);
    Settings settings;
    ImportMailClientDefaults(settings);
    EXPECT_STREQ(settings.Server.Text(), "pop.oe.example.com");
    EXPECT_EQ(settings.SMTPServerPort, 587u);
}

TEST_F(MailClientImport, ImapAccountLeavesThePop3PortAlone)
{
    std::string prefs = std::string(kThunderbirdPrefs) + "user_pref(\"mail.server.server1.type\", \"imap\");\n";
    thunderbird(prefs);
    Settings settings;
    ImportMailClientDefaults(settings);
    EXPECT_STREQ(settings.Server.Text(), "korva.tb.example.com");
    EXPECT_EQ(settings.POP3ServerPort, 110u);
}

// The SMTP server's socket type drives the choice (the fax goes there), the
// incoming server's only when the SMTP server has none; ports Thunderbird
// leaves to its defaults follow the choice.
TEST_F(MailClientImport, ThunderbirdSocketTypeFillsTheEncryption)
{
    const char* account =
        "user_pref(\"mail.accountmanager.defaultaccount\", \"account1\");\n"
        "user_pref(\"mail.account.account1.server\", \"server1\");\n"
        "user_pref(\"mail.account.account1.identities\", \"id1\");\n"
        "user_pref(\"mail.server.server1.hostname\", \"korva.tb.example.com\");\n"
        "user_pref(\"mail.server.server1.type\", \"pop3\");\n"
        "user_pref(\"mail.identity.id1.smtpServer\", \"smtp1\");\n";
    const struct {
        const char* prefs;
        uint32_t encryption, smtp, pop3, ldap;
    } cases[] = {
        {"", kEncryptionNone, 25, 110, 389},
        {"user_pref(\"mail.smtpserver.smtp1.try_ssl\", 0);", kEncryptionNone, 25, 110, 389},
        {"user_pref(\"mail.smtpserver.smtp1.try_ssl\", 1);", kEncryptionNone, 25, 110, 389},
        {"user_pref(\"mail.smtpserver.smtp1.try_ssl\", 2);", kEncryptionStartTls, 587, 110, 389},
        {"user_pref(\"mail.smtpserver.smtp1.try_ssl\", 3);", kEncryptionTls, 465, 995, 636},
        {"user_pref(\"mail.server.server1.socketType\", 3);", kEncryptionTls, 465, 995, 636},
        {"user_pref(\"mail.server.server1.socketType\", 2);", kEncryptionStartTls, 587, 110, 389},
        {"user_pref(\"mail.server.server1.socketType\", 3);user_pref(\"mail.smtpserver.smtp1.try_ssl\", 2);",
         kEncryptionStartTls, 587, 110, 389},
        {"user_pref(\"mail.smtpserver.smtp1.try_ssl\", 3);user_pref(\"mail.smtpserver.smtp1.port\", 2465);"
         "user_pref(\"mail.server.server1.port\", 1995);",
         kEncryptionTls, 2465, 1995, 636},
    };
    for (const auto& c : cases) {
        thunderbird(std::string(account) + c.prefs + "\n");
        Settings settings;
        ImportMailClientDefaults(settings);
        EXPECT_EQ(settings.Encryption, c.encryption) << c.prefs;
        EXPECT_EQ(settings.SMTPServerPort, c.smtp) << c.prefs;
        EXPECT_EQ(settings.POP3ServerPort, c.pop3) << c.prefs;
        EXPECT_EQ(settings.LDAPServerPort, c.ldap) << c.prefs;
    }
}

TEST_F(MailClientImport, CompanyIsTakenOnlyWhenEmpty)
{
    userHive("[HKEY_CURRENT_USER\\Software\\Microsoft\\MS Setup (ACME)\\User Info]\n\"DefCompany\"=\"Acme\"\n");
    Settings settings;
    settings.Company = "Mine";
    ImportMailClientDefaults(settings);
    EXPECT_STREQ(settings.Company.Text(), "Mine");
}

TEST_F(MailClientImport, NothingConfiguredChangesNothing)
{
    Settings settings;
    settings.EmailAddress = "no-domain";
    ImportMailClientDefaults(settings);
    EXPECT_TRUE(settings.Server.IsEmpty());
    EXPECT_TRUE(settings.Company.IsEmpty());
    EXPECT_TRUE(settings.FaxAddress.IsEmpty());  // no '@' to take a domain from
    EXPECT_EQ(settings.SMTPServerPort, 25u);
    EXPECT_EQ(settings.POP3ServerPort, 110u);
}

}  // namespace
}  // namespace korva
