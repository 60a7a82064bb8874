#include "faxcourier/addressbook/address_entries.h"

namespace korva {

std::vector<AddressEntry>& addressEntries = *new std::vector<AddressEntry>;
std::mutex& addressBookLock = *new std::mutex;
unsigned long& addressEntriesGeneration = *new unsigned long(0);

}  // namespace korva
