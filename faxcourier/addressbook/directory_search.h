#pragma once
// Reading the user's address book from the directory: the list search that
// refills addressEntries on a thread of its own, and the read of one entry
// with all its attributes.

#include "faxcourier/foundation/korva_string.h"
#include "faxcourier/net/attribute_map.h"

#include <string>

namespace korva {

class LDAP;
struct LdapRefusal;

// Where and as whom to log on: Server, LDAPServerPort, Username, Password,
// and how the connection is protected: Encryption, TLSCAFile.
struct LdapLogon {
    String server;
    unsigned port = 389;
    String user;
    String password;
    unsigned encryption = 0;
    String caFile = String();
    String base = String();  // where the list search looks; empty: `user`
};

// The settings' values at the moment of the call, with LDAPBindDN as the
// user and LDAPBaseDN as the base where they are set.
LdapLogon currentLdapLogon();

// False, after the box naming the setting, when Server or Encryption
// cannot be used; then nothing may be sent.
[[nodiscard]] bool logonUsable(const LdapLogon& logon);

// Server, port, user name (as distinguished name) and password, then bind.
void BindSteps(LDAP& ldap, const LdapLogon& logon);

// The box for a connection that could not be secured, so the bind never
// went out: the host and why, as the other conversations say it.
void reportNotSecured(const LdapLogon& logon, const std::string& why);

// The box and the log line for a bind or search the server refused, so an
// empty book never passes for an empty directory.
void reportRefused(const LdapLogon& logon, const LdapRefusal& refusal);

// The list search with the settings read at its start: empties
// addressEntries, then appends every entry the directory returns.
void runDirectorySearch(const LdapLogon& logon);

// Starts runDirectorySearch on a thread of its own, with the settings
// as they are now, and returns at once; nobody waits for it.
void startDirectorySearch();
// Waits until no list search runs any more; false when `timeoutMs` passed.
bool waitForDirectorySearches(int timeoutMs);

// Every attribute of one entry, upper-case names, "OBJECTID" holding its
// distinguished name; empty when nothing was found. Blocks the caller.
AttributeMap ReadDirectoryEntry(const String& dn);
AttributeMap ReadDirectoryEntry(const String& dn, const LdapLogon& logon);

}  // namespace korva
