#pragma once
// Bringing addressEntries up to date after the entry dialog saved, without
// a new search.

#include "faxcourier/net/attribute_map.h"

namespace korva {

// What the table and the list row should now show for a saved entry.
struct SavedEntry {
    String dn;
    String name;
    String fax;
    String company;
};

// Under addressBookLock: an existing entry (oldMap holds "OBJECTID") is
// updated at the first position whose dn equals the old identifier, byte
// for byte; a new one is appended, deletable. Nothing changes when the save
// failed (saved.dn empty). Returns the position touched, or -1, and the
// table's generation at that moment.
long RecordSavedEntry(const String& oldObjectId, const SavedEntry& saved, unsigned long* generation = nullptr);

}  // namespace korva
