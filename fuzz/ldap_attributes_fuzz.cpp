// Attribute names and values of any bytes and length through the two
// directory reads' handling of one search result: the list search's row
// (MyLDAP: name, company, fax numbers, deletable mark) and the entry read's
// attribute map (MyLDAP2). The entry arrives as the directory component
// delivers it after libldap has decoded it: the values of the result being
// delivered, read back through the component's properties, which is what
// both reads see of the server's bytes.
//
// Input: the distinguished name, then name/value pairs, each part a length
// and that many bytes; the length is one byte, or after a byte 255 two more
// (little-endian), so parts reach 64 KiB.
#include "fuzz/fuzz_support.h"

#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/attribute_names.h"
#include "faxcourier/addressbook/ldap_classes.h"
#include "faxcourier/addressbook/ldap_instance.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using namespace korva;

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool next(std::string& part)
    {
        if (at >= size)
            return false;
        size_t length = data[at++];
        if (length == 255 && size - at >= 2) {
            length = size_t(data[at]) | size_t(data[at + 1]) << 8;
            at += 2;
        }
        length = std::min(length, size - at);
        part.assign(reinterpret_cast<const char*>(data) + at, length);
        at += length;
        return true;
    }
};

// What the program's text holds of a part: up to a NUL byte.
std::string asText(const std::string& part) { return part.substr(0, part.find('\0')); }

// Delivers the entry to `ldap` as the component does.
void deliver(korva::LDAP& ldap, const std::string& dn,
             const std::vector<std::pair<std::string, std::string>>& attributes)
{
    LdapInstance& instance = *ldap.handle();
    instance.current = attributes;
    instance.inResult = true;
    void* params[2] = {reinterpret_cast<void*>(intptr_t(7)), const_cast<char*>(dn.c_str())};
    int lengths[2] = {0, int(dn.size())};
    DispatchLDAPEvent(&ldap, kLdapEventSearchResult, 2, params, lengths);
    instance.inResult = false;
    instance.current.clear();
}

void checkListRow(const std::string& dn, const std::vector<std::pair<std::string, std::string>>& attributes)
{
    {
        std::lock_guard lock(addressBookLock);
        addressEntries.clear();
    }
    MyLDAP ldap;
    deliver(ldap, dn, attributes);
    std::string name, company, fax;
    bool deletable = false;
    for (const auto& [type, value] : attributes) {
        // A directory may answer under any letter case and any standard name.
        const char* book = bookAttributeName(asText(type));
        const std::string key = book ? book : "";
        if (key == "cn")
            name = asText(value);
        else if (key == "o")
            company = asText(value);
        else if (key == "fax")
            fax = asText(value);
        else if (key == "_deletable")
            deletable = value == "1";
    }
    std::lock_guard lock(addressBookLock);
    FUZZ_CHECK(addressEntries.size() == 1);
    const AddressEntry& row = addressEntries[0];
    FUZZ_CHECK(row.dn.Text() == asText(dn));
    FUZZ_CHECK(row.name.Text() == name && row.company.Text() == company && row.fax.Text() == fax);
    FUZZ_CHECK(row.deletable == deletable);
}

void checkEntryMap(const std::string& dn, const std::vector<std::pair<std::string, std::string>>& attributes)
{
    MyLDAP2 ldap;
    deliver(ldap, dn, attributes);
    const AttributeMap& map = ldap.attributes;
    FUZZ_CHECK(map.size() <= attributes.size() + 1);
    bool namedObjectId = false;
    for (const auto& [type, value] : attributes) {
        const char* book = bookAttributeName(asText(type));
        String upper(book ? book : asText(type).c_str());
        upper.MakeUpper();
        namedObjectId = namedObjectId || std::string(upper.Text()) == kObjectIdKey;
        FUZZ_CHECK(map.count(upper) == 1);
    }
    for (const auto& [key, value] : map)
        for (const char* c = key.Text(); *c; ++c)
            FUZZ_CHECK(!std::islower(static_cast<unsigned char>(*c)));
    auto objectId = map.find(String(kObjectIdKey));
    FUZZ_CHECK(objectId != map.end());
    if (!namedObjectId)
        FUZZ_CHECK(objectId->second.Text() == asText(dn));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    korva::fuzz::fuzzHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader reader{data, size};
    std::string dn, type, value;
    reader.next(dn);
    std::vector<std::pair<std::string, std::string>> attributes;
    while (reader.next(type)) {
        value.clear();
        reader.next(value);
        attributes.emplace_back(type, value);
    }
    checkListRow(dn, attributes);
    checkEntryMap(dn, attributes);
    return 0;
}
