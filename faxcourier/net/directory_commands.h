#pragma once
// Changing the user's address book through the server's own commands on
// its POP3 port: a POP3-style logon with X-LDAPUSER and PASS, then
// X-LDAPADD, X-LDAPSET or X-LDAPDEL, QUIT. One connection per operation;
// every failure is shown in a server error box. Runs on the user-interface
// thread and blocks it, under the wait cursor.

#include "faxcourier/foundation/korva_string.h"
#include "faxcourier/net/attribute_map.h"
#include "faxcourier/settings/settings.h"
#include "platform/result.h"

namespace korva {

class Socket;

// Connects to Server at POP3ServerPort and logs on. On failure it has shown
// its box and closed the socket; the error's text is the box's detail.
Result<void> DirectoryLogon(void* owner, Socket& socket);
Result<void> DirectoryLogon(void* owner, Socket& socket, const Settings& settings);

// True when the server confirmed the deletion. An identifier holding CR or
// LF is refused with the deletion's box and never sent.
bool DeleteDirectoryEntry(void* owner, const String& objectId);
bool DeleteDirectoryEntry(void* owner, const String& objectId, const Settings& settings);

// Creates the entry when oldMap has no "OBJECTID", then sends every
// attribute of newMap whose UTF-8 form differs from oldMap's value. Only
// when every command succeeded does newMap["OBJECTID"] receive the entry's
// (possibly renamed) identifier. Looking up oldMap adds missing names empty.
void SaveDirectoryEntry(void* owner, AttributeMap& oldMap, AttributeMap& newMap);
void SaveDirectoryEntry(void* owner, AttributeMap& oldMap, AttributeMap& newMap, const Settings& settings);

// A value as sent: LF as backslash n, CR as backslash r, a backslash doubled.
String EscapeDirectoryValue(const String& value);

// The identifier after MAIL changed to `escapedMail`: "MAIL=" + the value +
// the old identifier from its first comma on (a comma and the whole old
// identifier when it has none).
String RenamedForMail(const String& objectId, const String& escapedMail);

}  // namespace korva
