#include "faxcourier/settings/thunderbird_profile.h"

#include "faxcourier/settings/settings.h"

#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace korva {

namespace {

using Section = std::vector<std::pair<std::string, std::string>>;
using IniSections = std::vector<std::pair<std::string, Section>>;

std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

IniSections parseIni(const std::string& text)
{
    IniSections sections;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.emplace_back(line.substr(1, line.size() - 2), Section{});
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos || sections.empty())
            continue;
        sections.back().second.emplace_back(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
    }
    return sections;
}

std::string valueOf(const Section& section, const std::string& key)
{
    for (const auto& [name, value] : section) {
        if (name == key)
            return value;
    }
    return {};
}

std::string profileFolder(const Section& profile, const std::string& thunderbirdFolder)
{
    std::string path = valueOf(profile, "Path");
    if (path.empty())
        return {};
    return valueOf(profile, "IsRelative") == "0" ? path : thunderbirdFolder + "/" + path;
}

std::optional<std::string> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string firstOfList(const std::string& list) { return trimmed(list.substr(0, list.find(','))); }

std::optional<uint32_t> portOf(const Prefs& prefs, const std::string& name)
{
    std::optional<int64_t> port = prefs.integer(name);
    if (!port || *port < 1 || *port > 65535)
        return std::nullopt;
    return static_cast<uint32_t>(*port);
}

// The account's incoming server key, when it is a real mail server (the
// "Local Folders" account has type "none").
std::string mailServerOf(const Prefs& prefs, const std::string& account)
{
    std::string server = prefs.text("mail.account." + account + ".server").value_or("");
    if (server.empty())
        return {};
    std::string prefix = "mail.server." + server + ".";
    if (prefs.text(prefix + "type").value_or("") == "none")
        return {};
    if (prefs.text(prefix + "hostname").value_or("").empty())
        return {};
    return server;
}

std::string chooseAccount(const Prefs& prefs)
{
    std::string account = prefs.text("mail.accountmanager.defaultaccount").value_or("");
    if (!account.empty() && !mailServerOf(prefs, account).empty())
        return account;
    std::istringstream accounts(prefs.text("mail.accountmanager.accounts").value_or(""));
    while (std::getline(accounts, account, ',')) {
        account = trimmed(account);
        if (!account.empty() && !mailServerOf(prefs, account).empty())
            return account;
    }
    return {};
}

}  // namespace

std::optional<std::string> defaultProfileFolder(const std::string& profilesIni, const std::string& thunderbirdFolder)
{
    IniSections sections = parseIni(profilesIni);
    for (const auto& [name, section] : sections) {
        if (name.rfind("Install", 0) != 0)
            continue;
        std::string path = valueOf(section, "Default");
        if (!path.empty())
            return path.front() == '/' ? path : thunderbirdFolder + "/" + path;
    }
    std::vector<std::string> profiles;
    for (const auto& [name, section] : sections) {
        if (name.rfind("Profile", 0) != 0)
            continue;
        std::string folder = profileFolder(section, thunderbirdFolder);
        if (folder.empty())
            continue;
        if (valueOf(section, "Default") == "1")
            return folder;
        profiles.push_back(folder);
    }
    if (profiles.size() == 1)
        return profiles.front();
    return std::nullopt;
}

std::optional<ThunderbirdAccount> defaultAccount(const Prefs& prefs)
{
    std::string account = chooseAccount(prefs);
    if (account.empty())
        return std::nullopt;
    ThunderbirdAccount result;
    std::string server = "mail.server." + mailServerOf(prefs, account) + ".";
    result.incomingHost = prefs.text(server + "hostname").value_or("");
    result.incomingUserName = prefs.text(server + "userName").value_or("");
    result.incomingType = prefs.text(server + "type").value_or("");
    result.incomingPort = portOf(prefs, server + "port");
    result.incomingSocketType = prefs.integer(server + "socketType");

    std::string identity = firstOfList(prefs.text("mail.account." + account + ".identities").value_or(""));
    if (identity.empty())
        return result;
    std::string prefix = "mail.identity." + identity + ".";
    result.email = prefs.text(prefix + "useremail").value_or("");
    result.fullName = prefs.text(prefix + "fullName").value_or("");
    std::string smtp = prefs.text(prefix + "smtpServer").value_or("");
    if (smtp.empty())
        smtp = prefs.text("mail.smtp.defaultserver").value_or("");
    if (smtp.empty())
        return result;
    result.smtpPort = portOf(prefs, "mail.smtpserver." + smtp + ".port");
    result.smtpSocketType = prefs.integer("mail.smtpserver." + smtp + ".try_ssl");
    return result;
}

uint32_t encryptionForSocketType(int64_t socketType)
{
    if (socketType == 2)
        return kEncryptionStartTls;
    if (socketType == 3)
        return kEncryptionTls;
    return kEncryptionNone;
}

uint32_t accountEncryption(const ThunderbirdAccount& account)
{
    if (account.smtpSocketType)
        return encryptionForSocketType(*account.smtpSocketType);
    if (account.incomingSocketType)
        return encryptionForSocketType(*account.incomingSocketType);
    return kEncryptionNone;
}

std::optional<ThunderbirdAccount> readThunderbirdAccount(const std::string& home)
{
    std::string folder = home + "/.thunderbird";
    std::optional<std::string> ini = readFile(folder + "/profiles.ini");
    if (!ini)
        return std::nullopt;
    std::optional<std::string> profile = defaultProfileFolder(*ini, folder);
    if (!profile)
        return std::nullopt;
    std::optional<std::string> prefs = readFile(*profile + "/prefs.js");
    if (!prefs)
        return std::nullopt;
    return defaultAccount(parsePrefsJs(*prefs));
}

}  // namespace korva
