#include "faxcourier/app/local_server.h"

#include <gtest/gtest.h>

using korva::app::serverIsThisMachine;

TEST(LocalServer, LoopbackAndTheOwnHostNameAreThisMachine)
{
    const struct {
        const char* server;
        bool local;
    } cases[] = {
        {"localhost", true},
        {" LocalHost ", true},
        {"127.0.0.1", true},
        {"127.45.0.9", true},
        {"::1", true},
        {"[::1]", true},
        {"::ffff:127.0.0.1", true},
        {"faxbox", true},
        {"FAXBOX.office.example", true},
        {"128.0.0.1", false},
        {"10.0.0.5", false},
        {"mail.example.com", false},
        {"localhost.example.com", false},
        {"faxboxes", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(serverIsThisMachine(c.server, "faxbox.office.example"), c.local) << c.server;
    EXPECT_FALSE(serverIsThisMachine("mail.example.com", ""));
}
