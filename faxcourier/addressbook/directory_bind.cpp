// Logging on to the directory, shared by the list search and the entry read.
#include "faxcourier/addressbook/directory_search.h"

#include "faxcourier/addressbook/ldap_classes.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/server_error.h"
#include "faxcourier/net/certificate_problem.h"
#include "faxcourier/settings/server_target.h"
#include "faxcourier/settings/settings.h"
#include "platform/translation.h"

namespace korva {

// A standard directory wants a DN to bind as and another one to search
// below; the KORVA server takes the user name for both.
LdapLogon currentLdapLogon()
{
    const Settings& settings = globalSettings();
    LdapLogon logon{settings.Server,   settings.LDAPServerPort, settings.Username,
                    settings.Password, settings.Encryption,     settings.TLSCAFile};
    // The settings hold Windows-1252; a DN on the wire is UTF-8.
    logon.base = settings.LDAPBaseDN.IsEmpty() ? logon.user : settings.LDAPBaseDN.ToUtf8();
    if (!settings.LDAPBindDN.IsEmpty())
        logon.user = settings.LDAPBindDN.ToUtf8();
    return logon;
}

bool logonUsable(const LdapLogon& logon)
{
    CheckedTarget checked = serverTarget(logon.server.Text(), logon.encryption);
    if (const SettingRefusal* refusal = std::get_if<SettingRefusal>(&checked)) {
        LogAlways(0, "Directory not searched - setting %s refused: %.300s\n", refusal->setting.c_str(),
                  refusal->why.c_str());
        reportSettingRefusal(nullptr, *refusal);
        return false;
    }
    return true;
}

void BindSteps(LDAP& ldap, const LdapLogon& logon)
{
    ldap.SetText(kLdapServerName, 0, logon.server.Text());
    ldap.SetNumber(kLdapServerPort, long(logon.port & 0xFFFFu));
    ldap.SetText(kLdapDn, 0, logon.user.Text());
    ldap.SetText(kLdapPassword, 0, logon.password.Text());
    ldap.SetNumber(kLdapSslStartMode, long(logon.encryption));
    ldap.SetText(kLdapSslCaFile, 0, logon.caFile.Text());
    ldap.Do(kLdapBind);
}

void reportNotSecured(const LdapLogon& logon, const std::string& why)
{
    LogAlways(0, "Directory on %.100s:%u not secured - %.300s\n", logon.server.Text(), logon.port, why.c_str());
    const char* step = logon.encryption == kEncryptionStartTls ? "StartTLS" : "TLS";
    ShowServerError(nullptr, QT_TRANSLATE_NOOP("ServerError", "Error logging on to KORVA"), step, String(why.c_str()),
                    shownTlsRefusal(why));
}

// Shared by both wrappers: how an event ends (or does not end) a wait.
void logLdapEvent(const char* what, const LdapParam& code, const LdapParam& description)
{
    LogDebug("%s - %d  %s\n", what, int(paramCode(code)), paramText(description));
}

}  // namespace korva
