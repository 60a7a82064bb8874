#include "faxcourier/settings/settings.h"

#include "faxcourier/settings/password_codec.h"
#include "platform/message_box.h"
#include "platform/registry_store.h"
#include "platform/translation.h"

#include <optional>

namespace korva {

Settings& globalSettings()
{
    static Settings settings;
    return settings;
}

namespace {

struct TextValue {
    const char* name;
    String Settings::*member;
};

// The text values in the order they are read and written.
constexpr TextValue kTexts[] = {
    {"Server", &Settings::Server},         {"Username", &Settings::Username},
    {"Password", &Settings::Password},     {"EmailAddress", &Settings::EmailAddress},
    {"FaxAddress", &Settings::FaxAddress}, {"RealName", &Settings::RealName},
    {"Company", &Settings::Company},       {"PhoneNumber", &Settings::PhoneNumber},
    {"FaxNumber", &Settings::FaxNumber},   {"CoverPages", &Settings::CoverPages},
};

struct PortValue {
    const char* name;
    uint32_t Settings::*member;
};

constexpr PortValue kPorts[] = {
    {"SMTPServerPort", &Settings::SMTPServerPort},
    {"POP3ServerPort", &Settings::POP3ServerPort},
    {"LDAPServerPort", &Settings::LDAPServerPort},
};

bool isPassword(const TextValue& value) { return value.member == &Settings::Password; }

}  // namespace

void LoadSettings(Settings& settings)
{
    RegistryKey key;
    if (key.open(RegistryHive::CurrentUser, kSettingsKey) != kRegOk)
        return;
    for (const TextValue& value : kTexts) {
        String& setting = settings.*value.member;
        setting.ReadRegistryValue(key, value.name);
        if (isPassword(value))
            setting = DecodePassword(setting);
    }
    for (const PortValue& port : kPorts) {
        if (std::optional<uint32_t> number = key.readDword(port.name))
            settings.*port.member = *number;
    }
    if (std::optional<uint32_t> debug = key.readDword("Debug"))
        settings.Debug = *debug != 0;
    if (std::optional<uint32_t> noConfig = key.readDword("NoConfig"))
        settings.NoConfig = *noConfig != 0;
    if (std::optional<uint32_t> encryption = key.readDword("Encryption"))
        settings.Encryption = *encryption;
    settings.TLSCAFile.ReadRegistryValue(key, "TLSCAFile");
    settings.LDAPBaseDN.ReadRegistryValue(key, "LDAPBaseDN");
    settings.LDAPBindDN.ReadRegistryValue(key, "LDAPBindDN");
    key.close();
}

bool SaveSettings(Settings& settings)
{
    RegistryKey key;
    if (key.create(RegistryHive::CurrentUser, kSettingsKey) != kRegOk) {
        showMessageBox("", translated("Settings", "Error saving settings"));
        return false;
    }
    // A write that fails after the key was created would otherwise lose the
    // settings without a word, so it is reported like a failed creation.
    int failed = 0;
    for (const TextValue& value : kTexts) {
        const String& setting = settings.*value.member;
        String stored = setting;
        if (isPassword(value))
            stored = settings.passwordInKeyring ? String() : EncodePassword(setting);
        failed += stored.WriteRegistryValue(key, value.name) != kRegOk;
    }
    for (const PortValue& port : kPorts)
        failed += key.writeDword(port.name, settings.*port.member) != kRegOk;
    failed += key.writeDword("Encryption", settings.Encryption) != kRegOk;
    failed += settings.LDAPBaseDN.WriteRegistryValue(key, "LDAPBaseDN") != kRegOk;
    failed += settings.LDAPBindDN.WriteRegistryValue(key, "LDAPBindDN") != kRegOk;
    key.close();
    if (failed != 0) {
        showMessageBox("", translated("Settings", "Error saving settings"));
        return false;
    }
    settings.configurationNeeded = false;
    return true;
}

int missingRequiredSetting(const Settings& settings)
{
    if (settings.Server.IsEmpty())
        return 1010;
    if (settings.Username.IsEmpty())
        return 1011;
    if (settings.Password.IsEmpty())
        return 1012;
    if (settings.EmailAddress.IsEmpty())
        return 1017;
    if (settings.FaxAddress.IsEmpty())
        return 1018;
    return 0;
}

}  // namespace korva
