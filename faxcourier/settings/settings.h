#pragma once
// The configuration, held in memory for the whole run and stored under
// HKEY_CURRENT_USER\SOFTWARE\ZETH\KORVAFaxDriver. Each member keeps its
// registry value's name.

#include "faxcourier/foundation/korva_string.h"

#include <cstdint>

namespace korva {

constexpr const char* kSettingsKey = "SOFTWARE\\ZETH\\KORVAFaxDriver";

struct Settings {
    String Server;
    uint32_t SMTPServerPort = 25;
    uint32_t POP3ServerPort = 110;
    uint32_t LDAPServerPort = 389;
    String Username;
    String Password;  // plain; stored through EncodePassword
    String EmailAddress;
    String FaxAddress;
    String RealName;
    String Company;
    String PhoneNumber;
    String FaxNumber;
    String CoverPages;  // one name per line, CR LF between
    bool Debug = false;
    bool NoConfig = false;

    // Set at start-up when Server was empty; cleared by a successful save.
    bool configurationNeeded = false;
};

// The process-wide settings.
Settings& globalSettings();

// Reads the stored values into `settings`. A missing key changes nothing;
// a missing text value empties its setting; a port or flag changes only
// when its DWORD is present.
void LoadSettings(Settings& settings);

// What the Configure dialog's OK stores: creates the key, writes the ten
// texts (the password encoded) and then the three ports, and clears
// configurationNeeded. When the key cannot be created or a value cannot be
// written it shows "Error saving settings" and returns false; memory keeps
// the values either way.
bool SaveSettings(Settings& settings);

// The dialog control of the first empty required setting (Server 1010,
// Username 1011, Password 1012, EmailAddress 1017, FaxAddress 1018), or 0
// when all five hold text.
int missingRequiredSetting(const Settings& settings);

}  // namespace korva
