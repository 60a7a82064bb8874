// Starting faxcourier again while it runs: the second start asks the
// running one over the session bus to open Configure and ends; --configure
// on a first start opens Configure itself.

#include "faxcourier/app/testing/courier_process.h"
#include "faxcourier/app/testing/session_bus.h"
#include "platform/paths.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

using namespace korva;
using namespace korva::app::testing;
using korva::testing::readWholeFile;
using korva::testing::TempHome;

namespace {

using std::chrono::milliseconds;

class SecondStart : public ::testing::Test {
protected:
    SecondStart() : log(stateHome() + "/KORVAFax/korvafax.log"), errors(home.path() + "/first.err") {}

    std::unique_ptr<CourierProcess> startCourier(const std::vector<std::string>& arguments)
    {
        auto courier = std::make_unique<CourierProcess>(arguments, errors);
        EXPECT_TRUE(waitForFileText(log, "Watching ")) << readWholeFile(errors);
        return courier;
    }

    void endCourier(CourierProcess& courier)
    {
        courier.signal(SIGTERM);
        EXPECT_EQ(courier.waitForExit(milliseconds(10000)), 0) << readWholeFile(errors);
    }

    TempHome home;
    std::string log;
    std::string errors;
};

TEST_F(SecondStart, WindowSwitchOnAFirstStartOpensThatWindow)
{
    for (auto [option, opened] : {std::pair{"--configure", "Opening Configure\n"},
                                  std::pair{"--outbox-window", "Opening the Outbox window\n"}}) {
        SCOPED_TRACE(option);
        auto courier = startCourier({"-debug", option});
        EXPECT_TRUE(waitForFileText(log, opened)) << readWholeFile(log);
        EXPECT_TRUE(courier->running());
        endCourier(*courier);
        std::remove(log.c_str());
    }
}

TEST_F(SecondStart, AsksTheRunningOneToOpenConfigureAndSaysSo)
{
    SessionBus bus;
    if (!bus.running())
        GTEST_SKIP() << "no dbus-daemon for a private session bus";
    auto first = startCourier({"-debug"});
    EXPECT_EQ(readWholeFile(log).find("Opening Configure"), std::string::npos);

    std::string secondErrors = home.path() + "/second.err";
    CourierProcess second({}, secondErrors);
    EXPECT_EQ(second.waitForExit(milliseconds(15000)), 0);
    EXPECT_NE(readWholeFile(secondErrors).find("faxcourier already runs; asked it to open Configure\n"),
              std::string::npos)
        << readWholeFile(secondErrors);
    EXPECT_TRUE(waitForFileText(log, "Opening Configure\n")) << readWholeFile(log);
    EXPECT_TRUE(first->running());
    endCourier(*first);
}

TEST_F(SecondStart, WindowSwitchAsksTheRunningOneToOpenThatWindow)
{
    SessionBus bus;
    if (!bus.running())
        GTEST_SKIP() << "no dbus-daemon for a private session bus";
    auto first = startCourier({"-debug"});
    struct Case {
        const char* option;
        const char* window;
        const char* opened;
    };
    for (const Case& c : {Case{"--address-book", "the Fax Address Book", "Opening the Fax Address Book\n"},
                          Case{"--outbox-window", "the Outbox window", "Opening the Outbox window\n"}}) {
        SCOPED_TRACE(c.option);
        std::string secondErrors = home.path() + "/second" + c.option + ".err";
        CourierProcess second({c.option}, secondErrors);
        EXPECT_EQ(second.waitForExit(milliseconds(15000)), 0);
        EXPECT_NE(readWholeFile(secondErrors)
                      .find(std::string("faxcourier already runs; asked it to open ") + c.window + "\n"),
                  std::string::npos)
            << readWholeFile(secondErrors);
        EXPECT_TRUE(waitForFileText(log, c.opened)) << readWholeFile(log);
    }
    EXPECT_EQ(readWholeFile(log).find("Opening Configure"), std::string::npos);
    endCourier(*first);
}

// The launcher's token reaches the running one, which needs it to come to
// the front; the variable of either platform.
TEST_F(SecondStart, PassesTheLaunchersActivationTokenOverTheBus)
{
    SessionBus bus;
    if (!bus.running())
        GTEST_SKIP() << "no dbus-daemon for a private session bus";
    auto first = startCourier({"-debug"});
    int run = 0;
    for (const char* variable : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        const std::string token = std::string("token-") + std::to_string(++run) + "_TIME42";
        setenv(variable, token.c_str(), 1);
        CourierProcess second({"--address-book"}, home.path() + "/second.err");
        unsetenv(variable);
        EXPECT_EQ(second.waitForExit(milliseconds(15000)), 0) << variable;
        EXPECT_TRUE(waitForFileText(log, "open the Fax Address Book (activation token " + token + ")\n"))
            << variable << "\n"
            << readWholeFile(log);
    }
    endCourier(*first);
}

}  // namespace
