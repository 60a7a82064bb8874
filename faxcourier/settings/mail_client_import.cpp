#include "faxcourier/settings/mail_client_import.h"

#include "faxcourier/settings/encryption_ports.h"
#include "faxcourier/settings/thunderbird_profile.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/registry_store.h"

#include <cstdio>
#include <optional>
#include <string>

namespace korva {

namespace {

// The default value of HKLM\SOFTWARE\Clients\Mail, read into 100 bytes; an
// unreadable or longer name counts as none.
String defaultMailProgram()
{
    RegistryKey key;
    char name[100] = {};
    uint32_t type = 0, size = sizeof name;
    if (key.open(RegistryHive::LocalMachine, "SOFTWARE\\Clients\\Mail") != kRegOk ||
        key.queryValue(nullptr, &type, name, &size) != kRegOk)
        return String();
    name[sizeof name - 1] = '\0';
    return String(name);
}

// One text value of an HKCU key; empty when the key or value is missing.
String currentUserText(const char* keyPath, const char* valueName)
{
    RegistryKey key;
    String text;
    if (key.open(RegistryHive::CurrentUser, keyPath) == kRegOk)
        text.ReadRegistryValue(key, valueName);
    return text;
}

void importOutlookExpress(Settings& settings)
{
    String account = currentUserText("Software\\Microsoft\\Internet Account Manager", "Default Mail Account");
    if (account.IsEmpty())
        return;
    char path[1000];
    std::snprintf(path, sizeof path, "Software\\Microsoft\\Internet Account Manager\\Accounts\\%.100s", account.Text());
    RegistryKey key;
    if (key.open(RegistryHive::CurrentUser, path) != kRegOk)
        return;
    if (std::optional<uint32_t> port = key.readDword("POP3 Port"))
        settings.POP3ServerPort = *port;
    if (std::optional<uint32_t> port = key.readDword("SMTP Port"))
        settings.SMTPServerPort = *port;
    settings.Server.ReadRegistryValue(key, "POP3 Server");
    settings.Username.ReadRegistryValue(key, "POP3 User Name");
    settings.RealName.ReadRegistryValue(key, "SMTP Display Name");
    settings.EmailAddress.ReadRegistryValue(key, "SMTP Email Address");
}

String eudoraSetting(const char* name, const std::string& iniPath)
{
    return String(readProfileString("Settings", name, "", 201, iniPath).c_str());
}

void importEudora(Settings& settings)
{
    String current = currentUserText("Software\\Qualcomm\\Eudora\\CommandLine", "Current");
    if (current.IsEmpty())
        return;
    String iniFile = current.Mid(static_cast<uint32_t>(current.ReverseFind(' ') + 1));
    if (iniFile.IsEmpty())
        return;
    std::string iniPath = iniFile.Text();
    String loginName = eudoraSetting("LoginName", iniPath);
    if (!loginName.IsEmpty()) {
        settings.Username = loginName;
        settings.Server = eudoraSetting("PopServer", iniPath);
    } else {
        String popAccount = eudoraSetting("POPAccount", iniPath);
        int at = popAccount.Find('@');
        if (at >= 0) {
            settings.Server = popAccount.Mid(static_cast<uint32_t>(at) + 1);
            settings.Username = popAccount.Left(static_cast<uint32_t>(at));
        }
    }
    settings.EmailAddress = eudoraSetting("ReturnAddress", iniPath);
    settings.RealName = eudoraSetting("RealName", iniPath);
    settings.POP3ServerPort = 110;
    settings.SMTPServerPort = 25;
}

void fillIfEmpty(String& setting, const std::string& value)
{
    if (setting.IsEmpty())
        setting = value.c_str();
}

// Linux users mostly read mail with Thunderbird. Only what is still empty is
// filled, and a port only while it has a default. The encryption comes
// first, so that the ports Thunderbird leaves to its defaults take the
// encrypted ones.
void importThunderbird(Settings& settings)
{
    std::optional<ThunderbirdAccount> account = readThunderbirdAccount(homeFolder());
    if (!account)
        return;
    fillIfEmpty(settings.Server, account->incomingHost);
    fillIfEmpty(settings.Username, account->incomingUserName);
    fillIfEmpty(settings.EmailAddress, account->email);
    fillIfEmpty(settings.RealName, account->fullName);
    if (settings.Encryption == kEncryptionNone) {
        settings.Encryption = accountEncryption(*account);
        portsFollowEncryption(settings);
    }
    if (account->incomingType == "pop3" && account->incomingPort &&
        isDefaultPort(ServerPort::Directory, settings.POP3ServerPort))
        settings.POP3ServerPort = *account->incomingPort;
    if (account->smtpPort && isDefaultPort(ServerPort::Smtp, settings.SMTPServerPort))
        settings.SMTPServerPort = *account->smtpPort;
}

}  // namespace

void ImportMailClientDefaults(Settings& settings)
{
    String program = defaultMailProgram();
    if (program.CompareNoCase("Outlook Express") == 0 || settings.Server.IsEmpty())
        importOutlookExpress(settings);
    if (program.CompareNoCase("Eudora") == 0 || settings.Server.IsEmpty())
        importEudora(settings);
    if (settings.Server.IsEmpty())
        importThunderbird(settings);
    if (settings.Company.IsEmpty())
        settings.Company = currentUserText("Software\\Microsoft\\MS Setup (ACME)\\User Info", "DefCompany");
    int at = settings.EmailAddress.Find('@');
    if (settings.FaxAddress.IsEmpty() && at >= 0) {
        settings.FaxAddress = "fax";
        settings.FaxAddress.Append(settings.EmailAddress.Mid(static_cast<uint32_t>(at)));
    }
}

}  // namespace korva
