// The directory component's work on the wire: bind, search and the event
// pump, on libldap's asynchronous calls.
#include "faxcourier/addressbook/ldap_instance.h"
#include "faxcourier/addressbook/ldap_tls.h"
#include "faxcourier/settings/server_target.h"

#include <ldap.h>

#include <algorithm>
#include <cstring>

namespace korva {
namespace {

// Longest single wait of method 6, so a caller's loop stays responsive.
constexpr int kPumpWaitMs = 100;
// Messages handled by one call of method 6 once the first has arrived.
constexpr int kPumpBatch = 512;

LdapSlot number(long value) { return LdapSlot{false, value, {}}; }
LdapSlot text(std::string value) { return LdapSlot{true, 0, std::move(value)}; }

timeval toTimeval(int ms) { return timeval{ms / 1000, (ms % 1000) * 1000}; }

std::string errorText(int code)
{
    const char* text = ldap_err2string(code);
    return text ? text : "";
}

// libldap numbers its client-side errors below zero; the event reports them
// with the C API's positive numbers (server down 81, time-out 85, ...), as
// a 16-bit code would otherwise read -1 as 65535.
int eventCode(int code) { return code <= LDAP_SERVER_DOWN && code >= LDAP_REFERRAL_LIMIT_EXCEEDED ? 80 - code : code; }

}  // namespace

LdapInstance::~LdapInstance() { Disconnect(); }

void LdapInstance::Disconnect()
{
    if (ld)
        ldap_unbind_ext(ld, nullptr, nullptr);
    ld = nullptr;
    bindId = -1;
    searchIds.clear();
    deferred.reset();
}

void LdapInstance::QueueError(int code, const std::string& description)
{
    queued.push_back(LdapEvent{kLdapEventError, {number(code), text(description)}});
}

void LdapInstance::QueueLdapError(int code) { QueueError(eventCode(code), errorText(code)); }

void LdapInstance::Bind()
{
    Disconnect();
    if (server.empty()) {
        QueueError(eventCode(LDAP_PARAM_ERROR), "No directory server given");
        return;
    }
    // libldap reads blanks and commas as a list of servers, so anything but
    // one host could end up at another server, or a plain one.
    if (!isOneHost(server.c_str())) {
        QueueError(eventCode(LDAP_PARAM_ERROR), "The directory server must be one host name or address");
        return;
    }
    // Any other mode is refused: guessing could send the password in the clear.
    if (sslStartMode < 0 || !isKnownEncryption(uint32_t(sslStartMode))) {
        QueueError(eventCode(LDAP_PARAM_ERROR), "Unknown encryption " + std::to_string(sslStartMode));
        return;
    }
    std::string uri = std::string(ldapScheme(uint32_t(sslStartMode))) + "://" + server + ":" + std::to_string(port);
    int rc = ldap_initialize(&ld, uri.c_str());
    if (rc != LDAP_SUCCESS || !ld) {
        ld = nullptr;
        QueueLdapError(rc != LDAP_SUCCESS ? rc : LDAP_NO_MEMORY);
        return;
    }
    int version = LDAP_VERSION3;
    ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_option(ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    timeval network = toTimeval(ldapNetworkTimeoutMs());
    ldap_set_option(ld, LDAP_OPT_NETWORK_TIMEOUT, &network);
    if (sslStartMode != kEncryptionNone && !Secure(uint32_t(sslStartMode)))
        return;

    berval credentials{password.size(), password.data()};
    int id = -1;
    rc = ldap_sasl_bind(ld, dn.c_str(), LDAP_SASL_SIMPLE, &credentials, nullptr, nullptr, &id);
    if (rc != LDAP_SUCCESS) {
        Disconnect();
        QueueLdapError(rc);
        return;
    }
    bindId = id;
    lastHeard = Clock::now();
}

// Before the bind: once encryption is asked for, nothing goes out unless
// the connection is secured.
bool LdapInstance::Secure(uint32_t encryption)
{
    timeval operation = toTimeval(ldapOperationTimeoutMs());
    ldap_set_option(ld, LDAP_OPT_TIMEOUT, &operation);
    std::optional<LdapTlsRefusal> refusal = secureLdap(ld, encryption, server, port, caFile);
    if (!refusal)
        return true;
    // Dropped without the unbind request: not one more byte in the clear.
    ldap_destroy(ld);
    ld = nullptr;
    Disconnect();
    QueueError(refusal->beforeTls ? eventCode(LDAP_SERVER_DOWN) : kLdapErrorNotSecured, refusal->detail);
    return false;
}

void LdapInstance::Search()
{
    LdapSearchRequest request{dn, filter, scope, requested};
    if (!ld) {
        QueueError(eventCode(LDAP_SERVER_DOWN), "Not connected to the directory server");
        return;
    }
    if (bindId >= 0) {
        // Nothing else may go out before the bind is answered.
        deferred = std::move(request);
        return;
    }
    SendSearch(request);
}

void LdapInstance::SendSearch(const LdapSearchRequest& request)
{
    if (request.scope < kLdapScopeBase || request.scope > kLdapScopeSubtree) {
        QueueError(eventCode(LDAP_PARAM_ERROR), "Unknown search scope");
        return;
    }
    std::vector<char*> names;
    for (const std::string& name : request.attributes)
        names.push_back(const_cast<char*>(name.c_str()));
    names.push_back(nullptr);
    int id = -1;
    int rc = ldap_search_ext(
        ld, request.base.c_str(), request.scope, request.filter.empty() ? nullptr : request.filter.c_str(),
        request.attributes.empty() ? nullptr : names.data(), 0, nullptr, nullptr, nullptr, LDAP_NO_LIMIT, &id);
    if (rc != LDAP_SUCCESS) {
        QueueLdapError(rc);
        return;
    }
    searchIds.push_back(id);
    lastHeard = Clock::now();
}

void LdapInstance::Deliver(const LdapEvent& event)
{
    void* params[8] = {};
    int lengths[8] = {};
    int count = int(std::min<size_t>(event.slots.size(), 8));
    for (int i = 0; i < count; ++i) {
        const LdapSlot& slot = event.slots[size_t(i)];
        if (slot.isText) {
            params[i] = const_cast<char*>(slot.text.c_str());
            lengths[i] = int(slot.text.size());
        } else {
            params[i] = reinterpret_cast<void*>(intptr_t(slot.number));
        }
    }
    if (sink)
        sink(owner, event.id, count, params, lengths);
}

void LdapInstance::DoEvents()
{
    while (!queued.empty()) {
        LdapEvent event = std::move(queued.front());
        queued.pop_front();
        Deliver(event);
    }
    if (ld && Outstanding())
        Receive(kPumpWaitMs);
}

void LdapInstance::Receive(int waitMs)
{
    for (int handled = 0; handled < kPumpBatch && ld && Outstanding(); ++handled) {
        int silentMs = int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastHeard).count());
        int leftMs = std::max(0, ldapOperationTimeoutMs() - silentMs);
        timeval wait = toTimeval(handled == 0 ? std::min(waitMs, leftMs) : 0);
        LDAPMessage* message = nullptr;
        int type = ldap_result(ld, LDAP_RES_ANY, LDAP_MSG_ONE, &wait, &message);
        if (type < 0) {
            int code = LDAP_SERVER_DOWN;
            ldap_get_option(ld, LDAP_OPT_RESULT_CODE, &code);
            FailOutstanding(eventCode(code), errorText(code));
            return;
        }
        if (type == 0) {
            if (handled == 0 && leftMs == 0)
                FailOutstanding(kLdapErrorTimedOut, "Timed out waiting for the directory server");
            return;
        }
        lastHeard = Clock::now();
        Handle(message);
        ldap_msgfree(message);
    }
}

void LdapInstance::FailOutstanding(int code, const std::string& description)
{
    for (int id : searchIds)
        ldap_abandon_ext(ld, id, nullptr, nullptr);
    Disconnect();
    Deliver(LdapEvent{kLdapEventError, {number(code), text(description)}});
}

void LdapInstance::Handle(LDAPMessage* message)
{
    switch (ldap_msgtype(message)) {
        case LDAP_RES_BIND: {
            bindId = -1;
            int code = HandleDone(message, kLdapEventResult);
            if (deferred && code != LDAP_SUCCESS) {
                // Not sent: after a refused bind it would read as anonymous.
                deferred.reset();
                Deliver(LdapEvent{kLdapEventError, {number(eventCode(code)), text(errorText(code))}});
            }
            if (deferred && ld) {
                LdapSearchRequest request = std::move(*deferred);
                deferred.reset();
                SendSearch(request);
            }
            break;
        }
        case LDAP_RES_SEARCH_ENTRY:
            HandleEntry(message);
            break;
        case LDAP_RES_SEARCH_RESULT: {
            int id = ldap_msgid(message);
            searchIds.erase(std::remove(searchIds.begin(), searchIds.end(), id), searchIds.end());
            HandleDone(message, kLdapEventSearchComplete);
            break;
        }
        default:
            break;  // references and anything unasked-for
    }
}

int LdapInstance::HandleDone(LDAPMessage* message, int eventId)
{
    int code = LDAP_OTHER;
    char* matched = nullptr;
    char* diagnostic = nullptr;
    ldap_parse_result(ld, message, &code, &matched, &diagnostic, nullptr, nullptr, 0);
    std::string description = diagnostic && *diagnostic ? diagnostic : errorText(code);
    LdapEvent event{eventId,
                    {number(ldap_msgid(message)), text(matched ? matched : ""), number(code), text(description)}};
    ldap_memfree(matched);
    ldap_memfree(diagnostic);
    Deliver(event);
    return code;
}

void LdapInstance::HandleEntry(LDAPMessage* message)
{
    BerElement* ber = nullptr;
    berval entryDn{0, nullptr};
    if (ldap_get_dn_ber(ld, message, &ber, &entryDn) != LDAP_SUCCESS) {
        if (ber)
            ber_free(ber, 0);
        return;
    }
    std::string name(entryDn.bv_val ? entryDn.bv_val : "", entryDn.bv_len);
    current.clear();
    berval type{0, nullptr};
    berval* values = nullptr;
    while (ldap_get_attribute_ber(ld, message, ber, &type, &values) == LDAP_SUCCESS && type.bv_val) {
        std::string attribute(type.bv_val, type.bv_len);
        for (berval* value = values; value && value->bv_val; ++value)
            current.emplace_back(attribute, std::string(value->bv_val, value->bv_len));
        if (values)
            ber_memfree(values);
        values = nullptr;
    }
    ber_free(ber, 0);

    inResult = true;
    Deliver(LdapEvent{kLdapEventSearchResult, {number(ldap_msgid(message)), text(std::move(name))}});
    inResult = false;
    current.clear();
}

}  // namespace korva
