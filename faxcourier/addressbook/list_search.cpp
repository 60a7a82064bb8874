// The list search: every entry below the user's name, with its name, fax
// number, company and deletable mark, appended to addressEntries.
#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/attribute_names.h"
#include "faxcourier/addressbook/directory_search.h"
#include "faxcourier/addressbook/ldap_classes.h"
#include "faxcourier/foundation/log.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace korva {

namespace {

std::mutex runningMutex;
std::condition_variable runningChanged;
int runningSearches = 0;

const std::vector<const char*> kListAttributes = {"o", "cn", "fax", "_deletable"};

}  // namespace

int MyLDAP::LDAPError(LdapParam& code, LdapParam& description)
{
    failed = true;
    errorCode = paramCode(code);
    errorText = paramText(description);
    return DirectoryEvents::LDAPError(code, description);
}

int MyLDAP::LDAPSearchResult(LdapParam&, LdapParam& dn)
{
    LogDebug("LDAPSearchResult - %s\n", paramText(dn));  // no test or script matches this text
    AddressEntry entry;
    entry.dn = paramText(dn);
    for (uint16_t i = 0; i < uint16_t(GetNumber(kLdapAttrCount)); ++i) {
        // A standard directory answers under the schema's names, in any case.
        const char* name = bookAttributeName(GetText(kLdapAttrType, i));
        if (!name)
            continue;
        if (std::strcmp(name, "cn") == 0)
            entry.name = GetText(kLdapAttrValue, i);
        else if (std::strcmp(name, "o") == 0)
            entry.company = GetText(kLdapAttrValue, i);
        else if (std::strcmp(name, "fax") == 0)
            entry.fax = GetText(kLdapAttrValue, i);
        else if (std::strcmp(name, "_deletable") == 0) {
            int length = 0;
            const char* value = GetText(kLdapAttrValue, i, &length);
            entry.deletable = length == 1 && value[0] == '1';
        }
    }
    ++received;
    std::lock_guard lock(addressBookLock);
    addressEntries.push_back(std::move(entry));
    return 0;
}

void runDirectorySearch(const LdapLogon& logon)
{
    MyLDAP ldap;
    {
        std::lock_guard lock(addressBookLock);
        addressEntries.clear();
        ++addressEntriesGeneration;
    }
    if (!logonUsable(logon))
        return;
    BindSteps(ldap, logon);
    // The bind has gone out with the user's name; the search needs the base.
    ldap.SetText(kLdapDn, 0, (logon.base.IsEmpty() ? logon.user : logon.base).Text());
    ldap.SetText(kLdapSearchFilter, 0, "objectClass=*");
    const std::vector<std::string> requested = requestedAttributes(kListAttributes);
    ldap.SetNumber(kLdapAttrCount, long(requested.size()));
    for (size_t i = 0; i < requested.size(); ++i)
        ldap.SetText(kLdapAttrType, int(i), requested[i].c_str());
    ldap.busy = true;
    ldap.Do(kLdapSearch);
    while (ldap.busy)
        ldap.Do(kLdapDoEvents);
    // The address book shows what arrived without a word, so say here why
    // it may be incomplete (lost connection, time-out, refused log-on).
    if (ldap.notSecured)
        reportNotSecured(logon, *ldap.notSecured);
    else if (ldap.refused)
        reportRefused(logon, *ldap.refused);
    else if (ldap.failed)
        LogAlways(0, "Directory search on %.100s:%u ended early - error %u %.200s; %u entries read\n",
                  logon.server.Text(), logon.port, unsigned(ldap.errorCode), ldap.errorText.c_str(), ldap.received);
}

void startDirectorySearch()
{
    LdapLogon logon = currentLdapLogon();
    {
        std::lock_guard lock(runningMutex);
        ++runningSearches;
    }
    std::thread([logon] {
        runDirectorySearch(logon);
        std::lock_guard lock(runningMutex);
        --runningSearches;
        runningChanged.notify_all();
    }).detach();
}

bool waitForDirectorySearches(int timeoutMs)
{
    std::unique_lock lock(runningMutex);
    return runningChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [] { return runningSearches == 0; });
}

}  // namespace korva
