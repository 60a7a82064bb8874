#pragma once
// LDAP attribute names as a standard directory gives them back: in any
// letter case and under any of their names or their OID (RFC 4512). The
// book knows each attribute by one name, the one korva-sim uses.

#include <string>
#include <string_view>
#include <vector>

namespace korva {

// The book's name ("cn", "fax", ...) for `returned`, or null when the book
// does not read that attribute.
const char* bookAttributeName(std::string_view returned);

// What to ask the server for: `bookNames` as they are, then the standard
// names of the same attributes, so a server that knows only those answers.
std::vector<std::string> requestedAttributes(const std::vector<const char*>& bookNames);

}  // namespace korva
