#pragma once
// The user's Thunderbird mail account, as first-run defaults for Linux users:
// ~/.thunderbird/profiles.ini names the default profile, whose prefs.js
// holds the accounts.

#include "faxcourier/settings/prefs_js.h"

#include <cstdint>
#include <optional>
#include <string>

namespace korva {

struct ThunderbirdAccount {
    std::string incomingHost;
    std::string incomingUserName;
    std::string incomingType;  // "pop3", "imap", ...
    std::optional<uint32_t> incomingPort;
    std::string email;
    std::string fullName;
    std::optional<uint32_t> smtpPort;
    // Thunderbird's socket types: 0 plain, 1 STARTTLS when offered (no
    // longer offered), 2 STARTTLS, 3 SSL/TLS.
    std::optional<int64_t> incomingSocketType;  // mail.server.serverN.socketType
    std::optional<int64_t> smtpSocketType;      // mail.smtpserver.smtpN.try_ssl
};

// The Encryption setting for a Thunderbird socket type: 2 STARTTLS, 3 TLS,
// anything else none (1 would send the password in the clear to a server
// that does not offer STARTTLS).
[[nodiscard]] uint32_t encryptionForSocketType(int64_t socketType);

// The account's encryption: its SMTP server's when known (the fax goes
// there), else its incoming server's, else none.
[[nodiscard]] uint32_t accountEncryption(const ThunderbirdAccount& account);

// The default profile's folder from the text of profiles.ini in
// `thunderbirdFolder`: the installation's Default, else the profile marked
// Default=1, else the only profile. No value when none is named.
std::optional<std::string> defaultProfileFolder(const std::string& profilesIni, const std::string& thunderbirdFolder);

// The default account of a profile's preferences: its incoming server, its
// first identity and that identity's SMTP server (or the default one).
std::optional<ThunderbirdAccount> defaultAccount(const Prefs& prefs);

// Both steps for the user whose home folder is `home`; no value when there
// is no profile or no account.
std::optional<ThunderbirdAccount> readThunderbirdAccount(const std::string& home);

}  // namespace korva
