// Which names the directory is asked with: a standard directory wants a DN
// to bind as and another one to search below; the KORVA server takes the
// user name for both.
#include "faxcourier/addressbook/directory_search.h"

#include "faxcourier/settings/settings.h"

namespace korva {

LdapLogon directoryLogon()
{
    LdapLogon logon = currentLdapLogon();
    const Settings& settings = globalSettings();
    // The settings hold Windows-1252; a DN on the wire is UTF-8.
    logon.base = settings.LDAPBaseDN.IsEmpty() ? logon.user : settings.LDAPBaseDN.ToUtf8();
    if (!settings.LDAPBindDN.IsEmpty())
        logon.user = settings.LDAPBindDN.ToUtf8();
    return logon;
}

}  // namespace korva
