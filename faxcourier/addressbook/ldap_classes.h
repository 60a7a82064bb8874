#pragma once
// The program's wrappers around the directory component: `LDAP` owns one
// instance and turns its events into virtual calls; `MyLDAP` is the list
// search's, `MyLDAP2` the entry read's.

#include "faxcourier/addressbook/ldap_component.h"
#include "faxcourier/net/attribute_map.h"

#include <cstdint>
#include <optional>
#include <string>

namespace korva {

// A bind or search the server answered with an error code, and its reason.
struct LdapRefusal {
    bool bind = false;
    uint16_t code = 0;
    std::string reason;
};

// One parameter slot of an event.
using LdapParam = void*;

inline uint16_t paramCode(const LdapParam& slot) { return uint16_t(reinterpret_cast<uintptr_t>(slot)); }
inline const char* paramText(const LdapParam& slot) { return slot ? static_cast<const char*>(slot) : ""; }

// The event sink: calls the owner's operation for the event with the
// leading slots; 0 for an unknown event.
int DispatchLDAPEvent(void* owner, int eventId, int paramCount, void* params[], int lengths[]);

// "<what> - <code>  <description>" in the debug log.
void logLdapEvent(const char* what, const LdapParam& code, const LdapParam& description);

class LDAP {
public:
    LDAP();
    virtual ~LDAP();
    LDAP(const LDAP&) = delete;
    LDAP& operator=(const LDAP&) = delete;

    virtual int LDAPError(LdapParam& code, LdapParam& description);
    virtual int LDAPResult(LdapParam& messageId, LdapParam& matchedDn, LdapParam& code, LdapParam& description);
    virtual int LDAPSearchComplete(LdapParam& messageId, LdapParam& matchedDn, LdapParam& code, LdapParam& description);
    virtual int LDAPSearchResult(LdapParam& messageId, LdapParam& dn);

    LdapInstance* handle() const { return handle_; }
    void SetText(int property, int index, const char* text);
    void SetNumber(int property, long number);
    unsigned GetNumber(int property);
    const char* GetText(int property, int index, int* length = nullptr);
    void Do(int method);

private:
    LdapInstance* handle_;
};

// What both wrappers do with the component's events: a search or read
// ends with its completion or an error, and a connection that could not be
// secured says why.
class DirectoryEvents : public LDAP {
public:
    int LDAPError(LdapParam& code, LdapParam& description) override;
    int LDAPResult(LdapParam& messageId, LdapParam& matchedDn, LdapParam& code, LdapParam& description) override;
    int LDAPSearchComplete(LdapParam& messageId, LdapParam& matchedDn, LdapParam& code,
                           LdapParam& description) override;

    bool busy = false;
    std::optional<std::string> notSecured;  // why the connection was not secured
    std::optional<LdapRefusal> refused;     // the server's first refusal
};

class MyLDAP : public DirectoryEvents {
public:
    int LDAPError(LdapParam& code, LdapParam& description) override;
    int LDAPSearchResult(LdapParam& messageId, LdapParam& dn) override;

    // How the search went, for the line that reports one cut short.
    unsigned received = 0;
    bool failed = false;
    uint16_t errorCode = 0;
    std::string errorText;
};

class MyLDAP2 : public DirectoryEvents {
public:
    ~MyLDAP2() override;
    int LDAPSearchResult(LdapParam& messageId, LdapParam& dn) override;

    AttributeMap attributes;
};

}  // namespace korva
