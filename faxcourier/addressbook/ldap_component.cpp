// The directory component's C form: creation, properties and methods.
#include "faxcourier/addressbook/ldap_component.h"

#include "faxcourier/addressbook/ldap_instance.h"

#include <atomic>
#include <cstdint>

namespace korva {
namespace {

std::atomic<int> networkMs{-1};
std::atomic<int> operationMs{-1};

std::string textOf(const void* value, int length)
{
    if (!value)
        return {};
    const char* text = static_cast<const char*>(value);
    return length > 0 ? std::string(text, size_t(length)) : std::string(text);
}

long numberOf(const void* value) { return long(reinterpret_cast<intptr_t>(value)); }

void* asValue(long number) { return reinterpret_cast<void*>(intptr_t(number)); }

void* asText(const std::string& text, int* length)
{
    if (length)
        *length = int(text.size());
    return const_cast<char*>(text.c_str());
}

void setAttrType(LdapInstance& instance, int index, std::string name)
{
    if (index < 0)
        return;
    if (size_t(index) >= instance.requested.size())
        instance.requested.resize(size_t(index) + 1);
    instance.requested[size_t(index)] = std::move(name);
}

const std::string& emptyText()
{
    static const std::string empty;
    return empty;
}

const std::string& attrPart(const LdapInstance& instance, int index, bool value)
{
    if (instance.inResult) {
        if (index < 0 || size_t(index) >= instance.current.size())
            return emptyText();
        return value ? instance.current[size_t(index)].second : instance.current[size_t(index)].first;
    }
    if (value || index < 0 || size_t(index) >= instance.requested.size())
        return emptyText();
    return instance.requested[size_t(index)];
}

}  // namespace

int ldapNetworkTimeoutMs()
{
    int ms = networkMs.load();
    return ms < 0 ? 10000 : ms;
}

int ldapOperationTimeoutMs()
{
    int ms = operationMs.load();
    return ms < 0 ? 20000 : ms;
}

void ldap_seam::setTimeoutsMs(int network, int operation)
{
    networkMs = network;
    operationMs = operation;
}

LdapInstance* LDAP_Create(LdapEventSink sink, void* owner) { return new LdapInstance(sink, owner); }

int LDAP_Destroy(LdapInstance* instance)
{
    delete instance;
    return 0;
}

int LDAP_Set(LdapInstance* instance, int property, int index, const void* value, int length)
{
    switch (property) {
        case kLdapServerName:
            instance->server = textOf(value, length);
            return 0;
        case kLdapServerPort:
            instance->port = unsigned(numberOf(value)) & 0xFFFFu;
            return 0;
        case kLdapDn:
            instance->dn = textOf(value, length);
            return 0;
        case kLdapSslStartMode:
            instance->sslStartMode = int(numberOf(value));
            return 0;
        case kLdapSslCaFile:
            instance->caFile = textOf(value, length);
            return 0;
        case kLdapPassword:
            instance->password = textOf(value, length);
            return 0;
        case kLdapSearchFilter:
            instance->filter = textOf(value, length);
            return 0;
        case kLdapSearchScope:
            instance->scope = int(numberOf(value));
            return 0;
        case kLdapAttrCount: {
            long count = numberOf(value);
            instance->requested.resize(count > 0 ? size_t(count) : 0);
            return 0;
        }
        case kLdapAttrType:
            setAttrType(*instance, index, textOf(value, length));
            return 0;
        default:
            return -1;
    }
}

void* LDAP_Get(LdapInstance* instance, int property, int index, int* length)
{
    if (length)
        *length = 0;
    switch (property) {
        case kLdapServerName:
            return asText(instance->server, length);
        case kLdapServerPort:
            return asValue(long(instance->port));
        case kLdapDn:
            return asText(instance->dn, length);
        case kLdapSslStartMode:
            return asValue(instance->sslStartMode);
        case kLdapSslCaFile:
            return asText(instance->caFile, length);
        case kLdapPassword:
            return asText(instance->password, length);
        case kLdapSearchFilter:
            return asText(instance->filter, length);
        case kLdapSearchScope:
            return asValue(instance->scope);
        case kLdapAttrCount:
            return asValue(long(instance->inResult ? instance->current.size() : instance->requested.size()));
        case kLdapAttrType:
            return asText(attrPart(*instance, index, false), length);
        case kLdapAttrValue:
            return asText(attrPart(*instance, index, true), length);
        default:
            return nullptr;
    }
}

int LDAP_Do(LdapInstance* instance, int method, int, void*[], int[])
{
    switch (method) {
        case kLdapBind:
            instance->Bind();
            return 0;
        case kLdapSearch:
            instance->Search();
            return 0;
        case kLdapDoEvents:
            instance->DoEvents();
            return 0;
        default:
            return -1;
    }
}

}  // namespace korva
