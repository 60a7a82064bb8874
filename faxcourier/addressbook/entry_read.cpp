// The entry read: every attribute of one entry, by its distinguished name.
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/ldap_classes.h"
#include "faxcourier/foundation/log.h"

namespace korva {

namespace {

const char* const kEntryAttributes[] = {
    "cn",         "givenname", "initials",        "sn",  "title",  "department", "o",        "postalAddress", "l", "st",
    "postalCode", "c",         "telephoneNumber", "fax", "mobile", "mail",       "_editable"};
constexpr int kEntryAttributeCount = int(sizeof kEntryAttributes / sizeof kEntryAttributes[0]);

}  // namespace

MyLDAP2::~MyLDAP2() { attributes.clear(); }

int MyLDAP2::LDAPSearchResult(LdapParam&, LdapParam& dn)
{
    LogDebug("LDAPSearchResult - %s\n", paramText(dn));
    attributes[kObjectIdKey] = paramText(dn);
    for (uint16_t i = 0; i < uint16_t(GetNumber(kLdapAttrCount)); ++i) {
        String key(GetText(kLdapAttrType, i));
        key.MakeUpper();
        attributes[key] = GetText(kLdapAttrValue, i);
    }
    return 0;
}

AttributeMap ReadDirectoryEntry(const String& dn, const LdapLogon& logon)
{
    if (!logonUsable(logon))
        return {};
    MyLDAP2 ldap;
    BindSteps(ldap, logon);
    ldap.SetText(kLdapSearchFilter, 0, "objectClass=*");
    ldap.SetText(kLdapDn, 0, dn.Text());
    ldap.SetNumber(kLdapSearchScope, kLdapScopeBase);
    ldap.SetNumber(kLdapAttrCount, kEntryAttributeCount);
    for (int i = 0; i < kEntryAttributeCount; ++i)
        ldap.SetText(kLdapAttrType, i, kEntryAttributes[i]);
    ldap.busy = true;
    ldap.Do(kLdapSearch);
    while (ldap.busy)
        ldap.Do(kLdapDoEvents);
    if (ldap.notSecured)
        reportNotSecured(logon, *ldap.notSecured);
    return ldap.attributes;
}

AttributeMap ReadDirectoryEntry(const String& dn) { return ReadDirectoryEntry(dn, currentLdapLogon()); }

}  // namespace korva
