// What the user sees when the directory refuses the log-on or the search.
#include "faxcourier/addressbook/directory_search.h"

#include "faxcourier/addressbook/ldap_classes.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/server_error.h"
#include "platform/translation.h"

#include <string>

namespace korva {

void reportRefused(const LdapLogon& logon, const LdapRefusal& refusal)
{
    std::string detail = "error " + std::to_string(refusal.code) + ": " + refusal.reason;
    const char* message = refusal.bind ? QT_TRANSLATE_NOOP("ServerError", "Error logging on to the directory")
                                       : QT_TRANSLATE_NOOP("ServerError", "Error reading the directory");
    // Logged whatever the Debug setting: the book is empty or short now.
    LogAlways(0, "%s on %.100s:%u as %.200s - %.300s\n", message, logon.server.Text(), logon.port, logon.user.Text(),
              detail.c_str());
    // The directory's own words stay as they came.
    ShowServerError(
        nullptr, message, logon.server.Text(), String(detail.c_str()),
        withArguments(translated("DirectoryRefused", "error %1: %2"), {std::to_string(refusal.code), refusal.reason}));
}

}  // namespace korva
