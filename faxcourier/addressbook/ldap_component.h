#pragma once
// The directory component: a small LDAP client on OpenLDAP's asynchronous
// API, driven through numbered properties and methods. Bind and search only
// queue work; every outcome arrives as an event through the sink, on the
// thread that calls method 6 (process events), inside that call. A refusal
// at the moment of the call is queued as an error event too, so a caller
// that waits for the end of a search never waits for ever.
//
// Values cross the interface as in the component's C form: texts as
// pointers to NUL-terminated text, numbers in the pointer value itself.

#include <cstdint>

namespace korva {

// Properties.
inline constexpr int kLdapAttrCount = 4;
inline constexpr int kLdapAttrType = 6;   // indexed
inline constexpr int kLdapAttrValue = 7;  // indexed, read only
inline constexpr int kLdapDn = 10;
inline constexpr int kLdapPassword = 21;
inline constexpr int kLdapSearchFilter = 26;
inline constexpr int kLdapSearchScope = 28;
inline constexpr int kLdapServerName = 31;
inline constexpr int kLdapServerPort = 32;
inline constexpr int kLdapSslStartMode = 40;  // 0 plain, 1 StartTLS, 2 TLS from the first byte
inline constexpr int kLdapSslCaFile = 41;     // an extra CA bundle, trusted beside the system's

// Methods.
inline constexpr int kLdapBind = 3;
inline constexpr int kLdapDoEvents = 6;
inline constexpr int kLdapSearch = 9;

// Events and their parameter slots.
inline constexpr int kLdapEventError = 1;           // code, description
inline constexpr int kLdapEventResult = 2;          // message id, matched dn, code, description
inline constexpr int kLdapEventSearchComplete = 3;  // as Result
inline constexpr int kLdapEventSearchResult = 4;    // message id, dn

// Search scopes; one level is the default.
inline constexpr int kLdapScopeBase = 0;
inline constexpr int kLdapScopeOneLevel = 1;
inline constexpr int kLdapScopeSubtree = 2;

// Error codes of the error event besides the server's and libldap's.
inline constexpr int kLdapErrorTimedOut = 85;  // LDAP_TIMEOUT
// The connection could not be secured (StartTLS refused, certificate
// refused); nothing was sent after it. The description says why.
inline constexpr int kLdapErrorNotSecured = 271;

using LdapEventSink = int (*)(void* owner, int eventId, int paramCount, void* params[], int lengths[]);

struct LdapInstance;

LdapInstance* LDAP_Create(LdapEventSink sink, void* owner);
int LDAP_Destroy(LdapInstance* instance);
// Texts: `value` points to NUL-terminated text (length 0) or to `length`
// bytes. Numbers: the value itself, length 0. Returns 0, or -1 for an
// unknown property.
int LDAP_Set(LdapInstance* instance, int property, int index, const void* value, int length);
// Numbers come back as the result itself, texts as a pointer that stays
// valid until the property changes; `length` (may be null) gets the byte
// count of a text.
void* LDAP_Get(LdapInstance* instance, int property, int index, int* length);
int LDAP_Do(LdapInstance* instance, int method, int paramCount, void* params[], int lengths[]);

namespace ldap_seam {
// Tests shorten the waits: connection set-up and silence on an open
// operation, in milliseconds. Negative values restore the defaults (10 s
// and 20 s).
void setTimeoutsMs(int networkMs, int operationMs);

// Shortened waits for one scope; the defaults come back when it ends,
// however it ends.
class ScopedTimeouts {
public:
    ScopedTimeouts(int networkMs, int operationMs) { setTimeoutsMs(networkMs, operationMs); }
    ~ScopedTimeouts() { setTimeoutsMs(-1, -1); }
    ScopedTimeouts(const ScopedTimeouts&) = delete;
    ScopedTimeouts& operator=(const ScopedTimeouts&) = delete;
};
}  // namespace ldap_seam

}  // namespace korva
