#pragma once
// The address book table: every entry of the user's directory that the last
// list search delivered, in arrival order. Read and changed only while
// holding addressBookLock; a list row names its entry by position.

#include "faxcourier/foundation/korva_string.h"

#include <mutex>
#include <vector>

namespace korva {

struct AddressEntry {
    String dn;
    String name;
    String fax;  // may hold several numbers separated by ";"
    String company;
    bool deletable = false;
};

// Both live for the whole run and are never destroyed, so a search thread
// still running at exit finds them intact.
extern std::vector<AddressEntry>& addressEntries;
extern std::mutex& addressBookLock;

// Bumped every time a list search empties addressEntries, under
// addressBookLock: a position taken under one generation names nothing
// under the next.
extern unsigned long& addressEntriesGeneration;

}  // namespace korva
