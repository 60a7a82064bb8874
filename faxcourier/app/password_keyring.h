#pragma once
// The password in the desktop keyring (a Secret Service: GNOME Keyring,
// KWallet) through QtKeychain. Each call waits for its job in a local event
// loop, so windows keep painting meanwhile; a QCoreApplication must exist.
// Where no keyring answers, the settings file keeps the encoded password.

#include "faxcourier/settings/settings.h"

#include <QString>

namespace korva::app {

inline constexpr const char* kKeyringService = "KORVA Fax";

// The entry's key, the user name at the server ("anna@mail.example.com");
// empty while either is empty.
QString keyringKey(const Settings& settings);

enum class KeyringStatus { Done, NotFound, Failed };

struct KeyringReply {
    KeyringStatus status = KeyringStatus::Failed;
    QString password;  // what a read found
    QString message;   // why it did not work
};

[[nodiscard]] KeyringReply readKeyringPassword(const QString& key);
[[nodiscard]] KeyringReply storeKeyringPassword(const QString& key, const QString& password);
[[nodiscard]] KeyringReply deleteKeyringPassword(const QString& key);

// The Configure dialog's OK, before the settings are saved: the password
// goes to the keyring when one takes it (passwordInKeyring set, so the
// settings file stores none; an entry under the key the dialog opened
// with, `previousKey`, is removed). Otherwise passwordInKeyring is cleared
// and the settings file keeps it encoded.
void keepPassword(Settings& settings, const QString& previousKey);

// Right after LoadSettings: a settings file that holds no password takes
// it from the keyring. A keyring that fails is logged and the settings
// file's value stays.
void takePasswordFromKeyring(Settings& settings);

}  // namespace korva::app
