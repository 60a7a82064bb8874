#include "faxcourier/addressbook/saved_entry.h"

#include "faxcourier/addressbook/address_entries.h"

#include <cstring>

namespace korva {

long RecordSavedEntry(const String& oldObjectId, const SavedEntry& saved, unsigned long* generation)
{
    if (saved.dn.IsEmpty())
        return -1;
    std::lock_guard lock(addressBookLock);
    if (generation)
        *generation = addressEntriesGeneration;
    if (oldObjectId.IsEmpty()) {
        addressEntries.push_back(AddressEntry{saved.dn, saved.name, saved.fax, saved.company, true});
        return long(addressEntries.size() - 1);
    }
    for (size_t p = 0; p < addressEntries.size(); ++p) {
        AddressEntry& entry = addressEntries[p];
        if (std::strcmp(entry.dn.Text(), oldObjectId.Text()) != 0)
            continue;
        entry.dn = saved.dn;
        entry.name = saved.name;
        entry.fax = saved.fax;
        entry.company = saved.company;
        return long(p);
    }
    return -1;
}

}  // namespace korva
