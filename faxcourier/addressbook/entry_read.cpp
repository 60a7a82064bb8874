// The entry read: every attribute of one entry, by its distinguished name.
#include "faxcourier/addressbook/attribute_names.h"
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/ldap_classes.h"
#include "faxcourier/foundation/log.h"

#include <string>
#include <vector>

namespace korva {

namespace {

const std::vector<const char*> kEntryAttributes = {
    "cn",         "givenname", "initials",        "sn",  "title",  "department", "o",        "postalAddress", "l", "st",
    "postalCode", "c",         "telephoneNumber", "fax", "mobile", "mail",       "_editable"};

// An entry deleted meanwhile: the dialog shows it empty, as ever.
constexpr uint16_t kNoSuchObject = 32;

}  // namespace

MyLDAP2::~MyLDAP2() { attributes.clear(); }

int MyLDAP2::LDAPSearchResult(LdapParam&, LdapParam& dn)
{
    LogDebug("LDAPSearchResult - %s\n", paramText(dn));  // no test or script matches this text
    attributes[kObjectIdKey] = paramText(dn);
    for (uint16_t i = 0; i < uint16_t(GetNumber(kLdapAttrCount)); ++i) {
        // The dialog reads the book's names ("FAX"), whichever name came back.
        const char* name = GetText(kLdapAttrType, i);
        const char* book = bookAttributeName(name);
        String key(book ? book : name);
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
    const std::vector<std::string> requested = requestedAttributes(kEntryAttributes);
    ldap.SetNumber(kLdapAttrCount, long(requested.size()));
    for (size_t i = 0; i < requested.size(); ++i)
        ldap.SetText(kLdapAttrType, int(i), requested[i].c_str());
    ldap.busy = true;
    ldap.Do(kLdapSearch);
    while (ldap.busy)
        ldap.Do(kLdapDoEvents);
    if (ldap.notSecured)
        reportNotSecured(logon, *ldap.notSecured);
    else if (ldap.refused && (ldap.refused->bind || ldap.refused->code != kNoSuchObject))
        reportRefused(logon, *ldap.refused);
    return ldap.attributes;
}

AttributeMap ReadDirectoryEntry(const String& dn) { return ReadDirectoryEntry(dn, currentLdapLogon()); }

}  // namespace korva
