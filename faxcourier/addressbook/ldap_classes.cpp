// Event dispatch and the component wrapper's defaults.
#include "faxcourier/addressbook/ldap_classes.h"

namespace korva {

int DispatchLDAPEvent(void* owner, int eventId, int paramCount, void* params[], int[])
{
    LDAP* ldap = static_cast<LDAP*>(owner);
    void* none[4] = {};
    void** slot = params && paramCount >= 4 ? params : none;
    if (params && paramCount < 4)
        for (int i = 0; i < paramCount; ++i)
            none[i] = params[i];
    switch (eventId) {
        case kLdapEventError:
            return ldap->LDAPError(slot[0], slot[1]);
        case kLdapEventResult:
            return ldap->LDAPResult(slot[0], slot[1], slot[2], slot[3]);
        case kLdapEventSearchComplete:
            return ldap->LDAPSearchComplete(slot[0], slot[1], slot[2], slot[3]);
        case kLdapEventSearchResult:
            return ldap->LDAPSearchResult(slot[0], slot[1]);
        default:
            return 0;
    }
}

LDAP::LDAP() : handle_(LDAP_Create(DispatchLDAPEvent, this)) {}

LDAP::~LDAP() { LDAP_Destroy(handle_); }

int LDAP::LDAPError(LdapParam&, LdapParam&) { return 0; }
int LDAP::LDAPResult(LdapParam&, LdapParam&, LdapParam&, LdapParam&) { return 0; }
int LDAP::LDAPSearchComplete(LdapParam&, LdapParam&, LdapParam&, LdapParam&) { return 0; }
int LDAP::LDAPSearchResult(LdapParam&, LdapParam&) { return 0; }

int DirectoryEvents::LDAPError(LdapParam& code, LdapParam& description)
{
    busy = false;
    if (paramCode(code) == kLdapErrorNotSecured)
        notSecured = paramText(description);
    logLdapEvent("LDAPError", code, description);
    return 0;
}

int DirectoryEvents::LDAPResult(LdapParam&, LdapParam&, LdapParam& code, LdapParam& description)
{
    logLdapEvent("LDAPResult", code, description);
    if (paramCode(code) != 0 && !refused)
        refused = LdapRefusal{true, paramCode(code), paramText(description)};
    return 0;
}

int DirectoryEvents::LDAPSearchComplete(LdapParam&, LdapParam&, LdapParam& code, LdapParam& description)
{
    logLdapEvent("LDAPSearchComplete", code, description);
    if (paramCode(code) != 0 && !refused)
        refused = LdapRefusal{false, paramCode(code), paramText(description)};
    busy = false;
    return 0;
}

void LDAP::SetText(int property, int index, const char* text) { LDAP_Set(handle_, property, index, text, 0); }

void LDAP::SetNumber(int property, long number)
{
    LDAP_Set(handle_, property, 0, reinterpret_cast<const void*>(intptr_t(number)), 0);
}

unsigned LDAP::GetNumber(int property)
{
    return unsigned(reinterpret_cast<uintptr_t>(LDAP_Get(handle_, property, 0, nullptr)));
}

const char* LDAP::GetText(int property, int index, int* length)
{
    const char* text = static_cast<const char*>(LDAP_Get(handle_, property, index, length));
    return text ? text : "";
}

void LDAP::Do(int method) { LDAP_Do(handle_, method, 0, nullptr, nullptr); }

}  // namespace korva
