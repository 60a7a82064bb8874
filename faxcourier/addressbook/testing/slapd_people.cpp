// Generated people for the private slapd: names from many languages, with
// the letters the letter bar and the search must fold.
#include "faxcourier/addressbook/testing/private_slapd.h"

#include <iterator>

namespace korva::testing {
namespace {

const char* const kFirst[] = {"Jörg",  "Émile", "Łukasz", "Øystein", "Ærø",  "Œdipe", "Đorđe", "Þóra",
                              "Søren", "Ines",  "Ana",    "Zoë",     "Ümit", "Ñico",  "Ольга", "Ἀλέξης",
                              "İpek",  "Çelik", "ørsted", "ßara",    "Åsa",  "Mia",   "李",    "42nd"};
const char* const kLast[] = {"Müller", "MÜLLER",  "Ørsted", "Łodzia",    "Straße", "Dvořák",
                             "Núñez",  "Ødegård", "Kőrös",  "Fernández", "Smith",  "Ñandú"};
const char* const kCompanies[] = {"Kühne AG", "Société Générale", "Øresund ApS", "Acme"};

}  // namespace

std::string generatedPeople(int count)
{
    std::string ldif;
    const int firsts = int(std::size(kFirst));
    for (int n = 0; n < count; ++n) {
        std::string id = std::to_string(n);
        std::string last = kLast[(n / firsts) % int(std::size(kLast))];
        ldif += "dn: uid=p" + id + "," + kSlapdPeople + "\nobjectClass: inetOrgPerson\nuid: p" + id +
                "\ncn: " + kFirst[n % firsts] + " " + last + "\nsn: " + last + "\n";
        if (n % 3 != 0)
            ldif += "facsimileTelephoneNumber: +49 30 " + std::to_string(100000 + n) + "\n";
        if (n % 2 == 0)
            ldif += std::string("o: ") + kCompanies[n % 4 / 2 + (n % 5 == 0 ? 2 : 0)] + "\n";
        if (n % 4 == 1)
            ldif += "telephoneNumber: +49 30 " + std::to_string(200000 + n) + "\nmail: p" + id + "@korva.test\n";
        ldif += "\n";
    }
    return ldif;
}

}  // namespace korva::testing
