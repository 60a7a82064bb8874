#pragma once
// Inside of the directory component (see ldap_component.h): its properties,
// the libldap session and the events waiting for method 6.

#include "faxcourier/addressbook/ldap_component.h"
#include "faxcourier/addressbook/ldap_tls.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

typedef struct ldap LDAP;
typedef struct ldapmsg LDAPMessage;

namespace korva {

// One parameter slot of an event: a number or a text.
struct LdapSlot {
    bool isText = false;
    long number = 0;
    std::string text;
};

struct LdapEvent {
    int id = 0;
    std::vector<LdapSlot> slots;
};

struct LdapSearchRequest {
    std::string base;
    std::string filter;
    int scope = kLdapScopeOneLevel;
    std::vector<std::string> attributes;
};

struct LdapInstance {
    using Clock = std::chrono::steady_clock;

    LdapInstance(LdapEventSink sink, void* owner) : sink(sink), owner(owner) {}
    ~LdapInstance();
    LdapInstance(const LdapInstance&) = delete;
    LdapInstance& operator=(const LdapInstance&) = delete;

    // Methods.
    void Bind();
    void Search();
    void DoEvents();

    LdapEventSink sink;
    void* owner;

    // Properties.
    std::string server;
    unsigned port = 389;
    std::string dn;
    std::string password;
    int sslStartMode = 0;
    std::string caFile;
    std::string filter;
    int scope = kLdapScopeOneLevel;
    std::vector<std::string> requested;  // attribute names asked for
    // The attributes of the search result being delivered, one pair per
    // value; property 4, 6 and 7 read these while `inResult`.
    std::vector<std::pair<std::string, std::string>> current;
    bool inResult = false;

private:
    void Disconnect();
    [[nodiscard]] bool Secure(uint32_t encryption);
    void QueueError(int code, const std::string& description);
    void QueueLdapError(int code);
    void SendSearch(const LdapSearchRequest& request);
    void Deliver(const LdapEvent& event);
    bool Outstanding() const { return bindId >= 0 || !searchIds.empty(); }
    void Receive(int waitMs);
    void Handle(LDAPMessage* message);
    void HandleEntry(LDAPMessage* message);
    int HandleDone(LDAPMessage* message, int eventId);  // the result code
    void FailOutstanding(int code, const std::string& description);

    LDAP* ld = nullptr;
    int bindId = -1;
    std::vector<int> searchIds;
    std::optional<LdapSearchRequest> deferred;  // waits for the bind's answer
    std::deque<LdapEvent> queued;
    Clock::time_point lastHeard;
};

// The waits in force (defaults, or what a test set).
int ldapNetworkTimeoutMs();
int ldapOperationTimeoutMs();

}  // namespace korva
