// Waiting for faxcourier to take the document still waiting.
#include "bandsink64/courier_wait.h"

#include "platform/courier_presence.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace korva;
using namespace std::chrono_literals;
using korva::testing::TempHome;

namespace {

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point start)
{
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class CourierWaitTest : public ::testing::Test {
protected:
    CourierWaitTest() { korva::testing::writeWholeFile(watchFile, "waiting document"); }
    TempHome home;
    const std::string watchFile = home.path() + "/korvafax.tif";
};

TEST_F(CourierWaitTest, NothingWaitingNeedsNoCourier)
{
    std::remove(watchFile.c_str());
    CourierPresence presence(home.path());
    EXPECT_EQ(waitForCourierToTake(watchFile, home.path(), 5s), CourierWait::NothingWaiting);
    EXPECT_EQ(waitForCourierToTake("", home.path(), 5s), CourierWait::NothingWaiting);
}

TEST_F(CourierWaitTest, WithoutCourierThereIsNoWait)
{
    Clock::time_point start = Clock::now();
    EXPECT_EQ(waitForCourierToTake(watchFile, home.path(), 5s), CourierWait::NoCourier);
    CourierPresence ended(home.path());
    ended.release();  // the mark's file is there, its lock free
    EXPECT_EQ(waitForCourierToTake(watchFile, home.path(), 5s), CourierWait::NoCourier);
    EXPECT_LT(msSince(start), 1000);
}

TEST_F(CourierWaitTest, WaitsUntilTheCourierTakesTheFile)
{
    CourierPresence presence(home.path());
    Clock::time_point start = Clock::now();
    std::thread courier([&] {
        std::this_thread::sleep_for(300ms);
        std::rename(watchFile.c_str(), (home.path() + "/korvafax1.tif").c_str());
    });
    CourierWait outcome = waitForCourierToTake(watchFile, home.path(), 5s);
    long waited = msSince(start);
    courier.join();
    EXPECT_EQ(outcome, CourierWait::Taken);
    EXPECT_GE(waited, 300);
    EXPECT_LT(waited, 1500);
}

TEST_F(CourierWaitTest, GivesUpAfterTheLimit)
{
    CourierPresence presence(home.path());
    Clock::time_point start = Clock::now();
    EXPECT_EQ(waitForCourierToTake(watchFile, home.path(), 350ms), CourierWait::TimedOut);
    long waited = msSince(start);
    EXPECT_GE(waited, 350);
    EXPECT_LT(waited, 1500);
}

TEST_F(CourierWaitTest, StopsWaitingWhenTheCourierEnds)
{
    CourierPresence presence(home.path());
    Clock::time_point start = Clock::now();
    std::thread ending([&] {
        std::this_thread::sleep_for(250ms);
        presence.release();
    });
    CourierWait outcome = waitForCourierToTake(watchFile, home.path(), 5s);
    long waited = msSince(start);
    ending.join();
    EXPECT_EQ(outcome, CourierWait::NoCourier);
    EXPECT_GE(waited, 250);
    EXPECT_LT(waited, 1500);
}

TEST(HandOverWaitLimit, SixtySecondsUnlessTheEnvironmentShortensIt)
{
    const char* name = "KORVAFAX_HANDOVER_WAIT_MS";
    unsetenv(name);
    EXPECT_EQ(handOverWaitLimit(), 60000ms);
    setenv(name, "250", 1);
    EXPECT_EQ(handOverWaitLimit(), 250ms);
    setenv(name, "0", 1);
    EXPECT_EQ(handOverWaitLimit(), 0ms);
    for (const char* refused : {"600000", "-5", "12x", "", "99999999999999999999"}) {
        setenv(name, refused, 1);
        EXPECT_EQ(handOverWaitLimit(), 60000ms) << refused;
    }
    unsetenv(name);
}

}  // namespace
