#include "faxcourier/settings/server_target.h"

#include <gtest/gtest.h>

using namespace korva;

TEST(ServerTarget, OnlyOneHostAndAKnownEncryptionAreUsed)
{
    struct Case {
        const char* server;
        uint32_t encryption;
        const char* refused;  // the setting named; null: used
    };
    const Case cases[] = {
        {"mail.example.com", 1, nullptr},
        {"127.0.0.1", 2, nullptr},
        {"mail_1.example-2.com", 0, nullptr},
        {"a b", 1, "Server"},
        {"a,b", 1, "Server"},
        {"ldap://x", 1, "Server"},
        {"", 1, "Server"},
        {"x/y", 1, "Server"},
        {"mail.example.com", 3, "Encryption"},
        {"mail.example.com", 0x80000000u, "Encryption"},
        {"mail.example.com", 0xFFFFFFFFu, "Encryption"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.server) + " " + std::to_string(c.encryption));
        CheckedTarget checked = serverTarget(c.server, c.encryption);
        if (c.refused == nullptr) {
            ASSERT_TRUE(std::holds_alternative<ServerTarget>(checked));
            EXPECT_EQ(std::get<ServerTarget>(checked).host, c.server);
            EXPECT_EQ(uint32_t(std::get<ServerTarget>(checked).encryption), c.encryption);
        } else {
            ASSERT_TRUE(std::holds_alternative<SettingRefusal>(checked));
            EXPECT_EQ(std::get<SettingRefusal>(checked).setting, c.refused);
        }
    }
}
