#include "faxcourier/addressbook/attribute_names.h"

#include <strings.h>

#include <algorithm>

namespace korva {
namespace {

struct Attribute {
    const char* book;      // the name the book asks for and keys by
    const char* standard;  // the schema's first name, or null
    const char* alias;     // a further name, or null
    const char* oid;       // or null
};

// From the stock core, cosine and inetorgperson schemas. "department" and
// the underscore marks are the KORVA server's own.
constexpr Attribute kAttributes[] = {
    {"cn", "cn", "commonName", "2.5.4.3"},
    {"sn", "sn", "surname", "2.5.4.4"},
    {"c", "c", "countryName", "2.5.4.6"},
    {"l", "l", "localityName", "2.5.4.7"},
    {"st", "st", "stateOrProvinceName", "2.5.4.8"},
    {"o", "o", "organizationName", "2.5.4.10"},
    {"title", "title", nullptr, "2.5.4.12"},
    {"postalAddress", "postalAddress", nullptr, "2.5.4.16"},
    {"postalCode", "postalCode", nullptr, "2.5.4.17"},
    {"telephoneNumber", "telephoneNumber", nullptr, "2.5.4.20"},
    {"fax", "facsimileTelephoneNumber", "fax", "2.5.4.23"},
    {"givenname", "givenName", "gn", "2.5.4.42"},
    {"initials", "initials", nullptr, "2.5.4.43"},
    {"mail", "mail", "rfc822Mailbox", "0.9.2342.19200300.100.1.3"},
    {"mobile", "mobile", "mobileTelephoneNumber", "0.9.2342.19200300.100.1.41"},
    {"department", nullptr, nullptr, nullptr},
    {"_deletable", nullptr, nullptr, nullptr},
    {"_editable", nullptr, nullptr, nullptr},
};

bool sameName(const char* known, std::string_view name)
{
    return known && std::string_view(known).size() == name.size() && strncasecmp(known, name.data(), name.size()) == 0;
}

// An OID may come with the "OID." prefix some servers write.
std::string_view withoutOidPrefix(std::string_view name)
{
    return name.size() > 4 && strncasecmp(name.data(), "oid.", 4) == 0 ? name.substr(4) : name;
}

const Attribute* find(std::string_view name)
{
    for (const Attribute& a : kAttributes)
        if (sameName(a.book, name) || sameName(a.standard, name) || sameName(a.alias, name) ||
            sameName(a.oid, withoutOidPrefix(name)))
            return &a;
    return nullptr;
}

bool asked(const std::vector<std::string>& names, const char* name)
{
    return std::any_of(names.begin(), names.end(), [name](const std::string& n) { return sameName(name, n); });
}

}  // namespace

const char* bookAttributeName(std::string_view returned)
{
    const Attribute* a = find(returned);
    return a ? a->book : nullptr;
}

std::vector<std::string> requestedAttributes(const std::vector<const char*>& bookNames)
{
    std::vector<std::string> names(bookNames.begin(), bookNames.end());
    for (const char* book : bookNames) {
        const Attribute* a = find(book);
        if (a && a->standard && !asked(names, a->standard))
            names.emplace_back(a->standard);
    }
    return names;
}

}  // namespace korva
