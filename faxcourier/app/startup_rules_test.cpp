#include "faxcourier/app/startup_rules.h"

#include <gtest/gtest.h>

using namespace korva::app;

TEST(StartupRules, DebugSwitchAnywhereCaseSensitive)
{
    EXPECT_TRUE(debugSwitchGiven({"-debug"}));
    EXPECT_TRUE(debugSwitchGiven({"x", "--debug=1"}));
    EXPECT_FALSE(debugSwitchGiven({"-DEBUG"}));
    EXPECT_FALSE(debugSwitchGiven({}));
}

TEST(StartupRules, OffscreenOnlyWithoutAnyDisplay)
{
    EXPECT_TRUE(offscreenPlatformNeeded(nullptr, nullptr, nullptr));
    EXPECT_TRUE(offscreenPlatformNeeded("", "", ""));
    EXPECT_FALSE(offscreenPlatformNeeded(":0", nullptr, nullptr));
    EXPECT_FALSE(offscreenPlatformNeeded(nullptr, "wayland-0", nullptr));
    EXPECT_FALSE(offscreenPlatformNeeded(nullptr, nullptr, "vnc"));
}

TEST(StartupRules, SecondStartAsksForTheWindowItsOptionNames)
{
    struct Case {
        std::vector<std::string> arguments;
        const char* method;
    };
    const Case cases[] = {
        {{}, "openConfigure"},
        {{"-debug"}, "openConfigure"},
        {{"--address-book"}, "openAddressBook"},
        {{"--outbox-window"}, "openOutboxWindow"},
        {{"--outbox-window", "-debug"}, "openOutboxWindow"},
        {{"--outbox-window", "--configure"}, "openConfigure"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(korva::app::secondStartRequest(c.arguments).method, c.method) << c.arguments.size();
}
