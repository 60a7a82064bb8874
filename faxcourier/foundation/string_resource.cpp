// Strings from the program's string table and the registry.
#include "faxcourier/foundation/korva_string.h"

#include "faxcourier/foundation/resource_strings.h"
#include "platform/registry_store.h"

#include <cstring>

namespace korva {

// A count of 255 or more in a 256-byte buffer may be a cut text: load again
// straight into our own buffer, 256 bytes larger each time, until the text
// ends at least 2 bytes short of the room given.
bool String::LoadResourceString(unsigned id)
{
    char first[256];
    int count = LoadResourceText(id, first, sizeof first);
    if (count < int(sizeof first) - 1)
        return AssignBytes(first, uint32_t(count)) && count > 0;
    uint32_t size = sizeof first;
    do {
        size += 256;
        if (!Reserve(size))
            return AssignBytes(first, uint32_t(count)) && count > 0;
        count = LoadResourceText(id, buffer_, int(size));
        length_ = uint32_t(count);
        cursor_ = 0;
    } while (uint32_t(count) > size - 2);
    return count > 0;
}

bool String::ReadRegistryValue(const RegistryKey& key, const char* valueName, const char* defaultText)
{
    uint32_t type = 0, size = 0;
    if (key.queryValue(valueName, &type, nullptr, &size) == kRegOk && size < UINT32_MAX && Reserve(size + 1)) {
        uint32_t got = size;
        if (key.queryValue(valueName, &type, buffer_, &got) == kRegOk) {
            buffer_[got] = '\0';
            length_ = uint32_t(std::strlen(buffer_));
            cursor_ = 0;
            return true;
        }
    }
    if (defaultText)
        Assign(defaultText);
    else
        Clear();
    return false;
}

int String::WriteRegistryValue(RegistryKey& key, const char* valueName) const
{
    return key.setValue(valueName, REG_SZ, Text(), length_ + 1);
}

}  // namespace korva
