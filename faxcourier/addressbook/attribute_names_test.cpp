#include "faxcourier/addressbook/attribute_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korva;

TEST(AttributeNames, AnyNameOrOidOfAnAttributeInAnyCaseIsTheBooksName)
{
    const struct {
        const char* returned;
        const char* book;  // null: not read by the book
    } cases[] = {
        {"fax", "fax"},
        {"facsimileTelephoneNumber", "fax"},
        {"FACSIMILETELEPHONENUMBER", "fax"},
        {"2.5.4.23", "fax"},
        {"OID.2.5.4.23", "fax"},
        {"CN", "cn"},
        {"commonName", "cn"},
        {"2.5.4.3", "cn"},
        {"organizationName", "o"},
        {"O", "o"},
        {"surname", "sn"},
        {"gn", "givenname"},
        {"givenName", "givenname"},
        {"rfc822Mailbox", "mail"},
        {"0.9.2342.19200300.100.1.3", "mail"},
        {"mobileTelephoneNumber", "mobile"},
        {"localityName", "l"},
        {"stateOrProvinceName", "st"},
        {"countryName", "c"},
        {"_Deletable", "_deletable"},
        {"2.5.4.2", nullptr},
        {"2.5.4.233", nullptr},
        {"faxx", nullptr},
        {"objectClass", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const char* book = bookAttributeName(c.returned);
        EXPECT_EQ(std::string(book ? book : "(none)"), std::string(c.book ? c.book : "(none)")) << c.returned;
    }
}

TEST(AttributeNames, TheRequestKeepsTheBooksNamesAndAddsTheStandardOnes)
{
    EXPECT_EQ(requestedAttributes({"o", "cn", "fax", "_deletable"}),
              (std::vector<std::string>{"o", "cn", "fax", "_deletable", "facsimileTelephoneNumber"}));
    EXPECT_EQ(requestedAttributes({"givenname", "mobile"}), (std::vector<std::string>{"givenname", "mobile"}));
}
