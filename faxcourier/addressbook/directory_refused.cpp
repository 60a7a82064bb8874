// What the user sees when the directory refuses the log-on or the search.
#include "faxcourier/addressbook/directory_search.h"

#include "faxcourier/addressbook/ldap_classes.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/server_error.h"

#include <string>

namespace korva {

void reportRefused(const LdapLogon& logon, const LdapRefusal& refusal)
{
    std::string detail = "error " + std::to_string(refusal.code) + ": " + refusal.reason;
    const char* message = refusal.bind ? "Error logging on to the directory" : "Error reading the directory";
    // Logged whatever the Debug setting: the book is empty or short now.
    LogAlways(0, "%s on %.100s:%u as %.200s - %.300s\n", message, logon.server.Text(), logon.port, logon.user.Text(),
              detail.c_str());
    ShowServerError(nullptr, message, logon.server.Text(), String(detail.c_str()));
}

}  // namespace korva
