#include "faxcourier/addressbook/ldap_component.h"

#include "faxcourier/addressbook/testing/directory_sim.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

using namespace korva;
using namespace korva::testing;

namespace {

// Records every event with its slots as text or number, and for search
// results the attributes the properties show at that moment.
struct Recorder {
    struct Event {
        int id;
        std::vector<std::string> slots;
        std::vector<std::pair<std::string, std::string>> attributes;
    };
    LdapInstance* instance = nullptr;
    std::vector<Event> events;
    bool done = false;

    static int sink(void* owner, int id, int count, void* params[], int lengths[])
    {
        auto* self = static_cast<Recorder*>(owner);
        Event event{id, {}, {}};
        for (int i = 0; i < count; ++i) {
            bool text = (id == kLdapEventError && i == 1) || (id != kLdapEventError && (i == 1 || i == 3));
            event.slots.push_back(text ? std::string(static_cast<const char*>(params[i]), size_t(lengths[i]))
                                       : std::to_string(reinterpret_cast<intptr_t>(params[i])));
        }
        if (id == kLdapEventSearchResult) {
            auto n = reinterpret_cast<intptr_t>(LDAP_Get(self->instance, kLdapAttrCount, 0, nullptr));
            for (int i = 0; i < n; ++i)
                event.attributes.emplace_back(
                    static_cast<const char*>(LDAP_Get(self->instance, kLdapAttrType, i, nullptr)),
                    static_cast<const char*>(LDAP_Get(self->instance, kLdapAttrValue, i, nullptr)));
        }
        if (id == kLdapEventError || id == kLdapEventSearchComplete)
            self->done = true;
        self->events.push_back(event);
        return 0;
    }
};

struct Component {
    Recorder recorder;
    LdapInstance* instance;
    Component() : instance(LDAP_Create(Recorder::sink, &recorder)) { recorder.instance = instance; }
    ~Component() { LDAP_Destroy(instance); }

    void text(int property, const char* value, int index = 0) { LDAP_Set(instance, property, index, value, 0); }
    void number(int property, long value)
    {
        LDAP_Set(instance, property, 0, reinterpret_cast<void*>(intptr_t(value)), 0);
    }
    void logOn(int port, const char* password = kSimPassword)
    {
        text(kLdapServerName, "127.0.0.1");
        number(kLdapServerPort, port);
        text(kLdapDn, kSimUser);
        text(kLdapPassword, password);
        LDAP_Do(instance, kLdapBind, 0, nullptr, nullptr);
    }
    // Pumps until the search ends; the milliseconds that took.
    long pump()
    {
        auto start = std::chrono::steady_clock::now();
        while (!recorder.done)
            LDAP_Do(instance, kLdapDoEvents, 0, nullptr, nullptr);
        return long(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    }
};

class LdapComponent : public ::testing::Test {
protected:
    TempHome home;
};

}  // namespace

TEST_F(LdapComponent, PropertiesReadBackAsSet)
{
    Component c;
    c.text(kLdapServerName, "mail.example.com");
    c.number(kLdapServerPort, 0x10185);  // kept to 16 bits
    c.number(kLdapAttrCount, 2);
    c.text(kLdapAttrType, "fax", 1);
    EXPECT_STREQ(static_cast<const char*>(LDAP_Get(c.instance, kLdapServerName, 0, nullptr)), "mail.example.com");
    EXPECT_EQ(reinterpret_cast<intptr_t>(LDAP_Get(c.instance, kLdapServerPort, 0, nullptr)), 0x185);
    EXPECT_EQ(reinterpret_cast<intptr_t>(LDAP_Get(c.instance, kLdapAttrCount, 0, nullptr)), 2);
    int length = -1;
    EXPECT_STREQ(static_cast<const char*>(LDAP_Get(c.instance, kLdapAttrType, 1, &length)), "fax");
    EXPECT_EQ(length, 3);
    EXPECT_EQ(LDAP_Set(c.instance, 999, 0, nullptr, 0), -1);
}

TEST_F(LdapComponent, BindAndSearchDeliverEventsOnlyInsideProcessEvents)
{
    DirectorySim sim(home.path(), {{{"cn", "Anna"}, {"fax", "1;2"}, {"mail", "anna@example.com"}},
                                   {{"cn", "Bo"}, {"o", "Zeta"}, {"mail", "bo@example.com"}}});
    Component c;
    c.logOn(sim.ldapPort());
    c.text(kLdapSearchFilter, "objectClass=*");
    c.number(kLdapAttrCount, 2);
    c.text(kLdapAttrType, "cn", 0);
    c.text(kLdapAttrType, "fax", 1);
    LDAP_Do(c.instance, kLdapSearch, 0, nullptr, nullptr);
    EXPECT_TRUE(c.recorder.events.empty());
    c.pump();

    auto& events = c.recorder.events;
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].id, kLdapEventResult);
    EXPECT_EQ(events[0].slots[2], "0");
    EXPECT_EQ(events[1].id, kLdapEventSearchResult);
    EXPECT_EQ(events[1].slots[1], "MAIL=anna@example.com,carl");
    EXPECT_EQ(events[1].attributes, (std::vector<std::pair<std::string, std::string>>{{"cn", "Anna"}, {"fax", "1;2"}}));
    EXPECT_EQ(events[2].attributes, (std::vector<std::pair<std::string, std::string>>{{"cn", "Bo"}}));
    EXPECT_EQ(events[3].id, kLdapEventSearchComplete);
    EXPECT_EQ(events[3].slots[2], "0");
    // Outside an event the attribute properties show the request again.
    EXPECT_EQ(reinterpret_cast<intptr_t>(LDAP_Get(c.instance, kLdapAttrCount, 0, nullptr)), 2);
}

TEST_F(LdapComponent, WrongPasswordIsAResultAndTheSearchEndsUnsent)
{
    DirectorySim sim(home.path(), {{{"cn", "Anna"}}});
    Component c;
    c.logOn(sim.ldapPort(), "wrong");
    c.text(kLdapSearchFilter, "objectClass=*");
    LDAP_Do(c.instance, kLdapSearch, 0, nullptr, nullptr);
    c.pump();
    auto& events = c.recorder.events;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].id, kLdapEventResult);
    EXPECT_EQ(events[0].slots[2], "49");
    // Sent after a refused bind, it would read as anonymous.
    EXPECT_EQ(events[1].id, kLdapEventError);
    EXPECT_EQ(events[1].slots[0], "49");
}

TEST_F(LdapComponent, RefusedConnectionIsAnErrorEventAtTheFirstProcessEvents)
{
    Component c;
    c.logOn(closedPort());
    LDAP_Do(c.instance, kLdapSearch, 0, nullptr, nullptr);
    EXPECT_TRUE(c.recorder.events.empty());
    EXPECT_LT(c.pump(), 2000);
    ASSERT_GE(c.recorder.events.size(), 1u);
    EXPECT_EQ(c.recorder.events[0].id, kLdapEventError);
    EXPECT_EQ(c.recorder.events[0].slots[0], "81");  // server down, not libldap's -1
    EXPECT_FALSE(c.recorder.events[0].slots[1].empty());
}

TEST_F(LdapComponent, SearchWithoutServerOrBindIsAnError)
{
    Component c;
    LDAP_Do(c.instance, kLdapBind, 0, nullptr, nullptr);  // no server named
    LDAP_Do(c.instance, kLdapSearch, 0, nullptr, nullptr);
    c.pump();
    EXPECT_EQ(c.recorder.events[0].id, kLdapEventError);
}

TEST_F(LdapComponent, SilentServerEndsWithATimeOutError)
{
    SilentServer silent;
    ldap_seam::ScopedTimeouts timeouts(300, 300);
    Component c;
    c.logOn(silent.port());
    LDAP_Do(c.instance, kLdapSearch, 0, nullptr, nullptr);
    long ms = c.pump();
    ASSERT_EQ(c.recorder.events.size(), 1u);
    EXPECT_EQ(c.recorder.events[0].id, kLdapEventError);
    EXPECT_EQ(c.recorder.events[0].slots[0], std::to_string(kLdapErrorTimedOut));
    EXPECT_GE(ms, 250);
    EXPECT_LT(ms, 3000);
}

TEST_F(LdapComponent, NoBindLeavesUnprotectedWhenEncryptionIsAskedFor)
{
    struct Case {
        const char* name;
        long mode;
        const char* server;  // the port, the sim's plain one, is added to the last
    };
    const Case cases[] = {
        {"mode read as negative", long(0x80000000u), "127.0.0.1"},
        {"mode of all ones", long(0xFFFFFFFFu), "127.0.0.1"},
        {"a plain server after a TLS one", 2, "127.0.0.1:1 ldap://127.0.0.1"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        std::string log = home.path() + "/conversations.jsonl";
        std::remove(log.c_str());
        {
            DirectorySim sim(home.path(), {{{"cn", "Anna"}}}, {"--conversation-log", log});
            Component c;
            c.number(kLdapSslStartMode, row.mode);
            c.text(kLdapServerName, row.server);
            c.number(kLdapServerPort, sim.ldapPort());
            c.text(kLdapDn, kSimUser);
            c.text(kLdapPassword, kSimPassword);
            LDAP_Do(c.instance, kLdapBind, 0, nullptr, nullptr);
            LDAP_Do(c.instance, kLdapSearch, 0, nullptr, nullptr);
            c.pump();
            ASSERT_FALSE(c.recorder.events.empty());
            EXPECT_EQ(c.recorder.events[0].id, kLdapEventError);
        }  // the sim ends, its log complete
        std::string talked = readWholeFile(log);
        talked.erase(std::remove(talked.begin(), talked.end(), ' '), talked.end());
        EXPECT_EQ(talked.find("\"logon\":true"), std::string::npos) << talked;
    }
}
