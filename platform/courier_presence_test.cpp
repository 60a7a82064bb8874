#include "platform/courier_presence.h"

#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace korva;
using korva::testing::TempHome;

TEST(CourierPresence, NoFileMeansNoCourier)
{
    TempHome home;
    EXPECT_FALSE(courierRunning(home.path()));
    EXPECT_FALSE(courierRunning(""));
}

TEST(CourierPresence, HeldMarkIsSeenAndReleasedMarkIsNot)
{
    TempHome home;
    {
        CourierPresence presence(home.path());
        ASSERT_TRUE(presence.held());
        EXPECT_EQ(korva::testing::fileMode(courierPresencePath(home.path())), 0600u);
        EXPECT_TRUE(courierRunning(home.path()));
        presence.release();
        EXPECT_FALSE(presence.held());
        EXPECT_FALSE(courierRunning(home.path()));
        ASSERT_EQ(presence.hold(home.path()).code(), 0);
        EXPECT_TRUE(courierRunning(home.path()));
    }
    // The file stays behind, unlocked.
    EXPECT_NE(korva::testing::fileMode(courierPresencePath(home.path())), ~0u);
    EXPECT_FALSE(courierRunning(home.path()));
}

TEST(CourierPresence, SecondHolderIsRefused)
{
    TempHome home;
    CourierPresence first(home.path());
    ASSERT_TRUE(first.held());
    CourierPresence second;
    EXPECT_EQ(second.hold(home.path()).code(), EWOULDBLOCK);
    EXPECT_FALSE(second.held());
    EXPECT_TRUE(courierRunning(home.path()));
}

TEST(CourierPresence, MissingFolderIsReported)
{
    TempHome home;
    CourierPresence presence;
    EXPECT_EQ(presence.hold(home.path() + "/absent").code(), ENOENT);
    EXPECT_FALSE(presence.held());
}

TEST(CourierPresence, AnotherProcessHoldsItUntilItDies)
{
    TempHome home;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
        CourierPresence presence(home.path());
        char held = presence.held() ? 'y' : 'n';
        if (write(ready[1], &held, 1) != 1)
            _exit(2);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char held = 0;
    ASSERT_EQ(read(ready[0], &held, 1), 1);
    close(ready[0]);
    EXPECT_EQ(held, 'y');
    EXPECT_TRUE(courierRunning(home.path()));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_FALSE(courierRunning(home.path()));
}

TEST(CourierPresence, CheckersOnManyThreadsAgreeAndNeverBlockTheHolder)
{
    TempHome home;
    CourierPresence presence(home.path());
    ASSERT_TRUE(presence.held());
    std::atomic<int> seen{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i)
                if (courierRunning(home.path()))
                    ++seen;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(seen.load(), 800);
    presence.release();
    EXPECT_EQ(presence.hold(home.path()).code(), 0);  // no checker kept a lock behind
}

TEST(CourierPresence, HoldingNeverFailsBecauseOfAChecker)
{
    TempHome home;
    {
        CourierPresence made(home.path());
    }  // the file exists from here on
    std::atomic<bool> stop{false};
    std::vector<std::thread> checkers;
    for (int t = 0; t < 2; ++t)
        checkers.emplace_back([&] {
            while (!stop)
                (void)courierRunning(home.path());
        });
    int refused = 0;
    CourierPresence presence;
    for (int i = 0; i < 3000; ++i) {
        if (!presence.hold(home.path()))
            ++refused;
        presence.release();
    }
    stop = true;
    for (auto& t : checkers)
        t.join();
    EXPECT_EQ(refused, 0);
}
