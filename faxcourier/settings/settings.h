#pragma once
// The configuration, held in memory for the whole run and stored under
// HKEY_CURRENT_USER\SOFTWARE\ZETH\KORVAFaxDriver. Each member keeps its
// registry value's name.

#include "faxcourier/foundation/korva_string.h"

#include <cstdint>

namespace korva {

constexpr const char* kSettingsKey = "SOFTWARE\\ZETH\\KORVAFaxDriver";

// How the three server conversations are protected (the Encryption value).
enum : uint32_t {
    kEncryptionNone = 0,      // plain, as servers without TLS expect
    kEncryptionStartTls = 1,  // the plain ports, upgraded before logging on
    kEncryptionTls = 2,       // TLS from the first byte
};

// Whether a stored Encryption value is one of the above; any other is
// refused by every conversation and counts as none for the ports.
[[nodiscard]] constexpr bool isKnownEncryption(uint32_t stored) { return stored <= kEncryptionTls; }

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
    // The directory's search base and bind DN; empty means Username for both.
    String LDAPBaseDN;
    String LDAPBindDN;
    bool Debug = false;
    bool NoConfig = false;
    uint32_t Encryption = kEncryptionNone;  // absent means none
    String TLSCAFile;                       // an extra CA bundle, trusted beside the system's

    // True when the password is kept in the desktop keyring: SaveSettings
    // then stores an empty Password value instead of the encoded one.
    bool passwordInKeyring = false;

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
// texts (the password encoded), the three ports, Encryption and the two
// directory names, and clears
// configurationNeeded. When the key cannot be created or a value cannot be
// written it shows "Error saving settings" and returns false; memory keeps
// the values either way.
bool SaveSettings(Settings& settings);

// The dialog control of the first empty required setting (Server 1010,
// Username 1011, Password 1012, EmailAddress 1017, FaxAddress 1018), or 0
// when all five hold text.
int missingRequiredSetting(const Settings& settings);

}  // namespace korva
