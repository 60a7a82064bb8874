#include "platform/process_mutex.h"

#include "platform/testing/poll_until.h"
#include "platform/testing/test_support.h"
#include "platform/tick_count.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace korva;

TEST(ProcessMutex, ThreadsSharingOneHandleExcludeEachOther)
{
    korva::testing::TempHome home;
    ProcessMutex mutex;
    ASSERT_TRUE(mutex.open(home.path() + "/lock").ok());
    EXPECT_EQ(korva::testing::fileMode(home.path() + "/lock"), 0600u);
    int inside = 0, worst = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                ProcessMutexLock lock(mutex);
                ASSERT_TRUE(lock.owned());
                worst = std::max(worst, ++inside);
                --inside;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(worst, 1);
}

TEST(ProcessMutex, AnotherProcessWaitsUntilTheHolderDies)
{
    korva::testing::TempHome home;
    std::string path = home.path() + "/lock";
    ProcessMutex mutex;
    ASSERT_TRUE(mutex.open(path).ok());
    ASSERT_TRUE(mutex.lock().ok());
    pid_t child = fork();
    if (child == 0) {
        ProcessMutex other;
        if (!other.open(path) || !other.lock())
            _exit(2);
        _exit(0);
    }
    int status = 0;
    pid_t ended = 0;
    EXPECT_TRUE(korva::testing::pollUntil(
        [&] { return (ended = waitpid(child, &status, WNOHANG)) != 0 || korva::testing::isBlocked(child); }));
    EXPECT_EQ(ended, 0) << "the child did not wait for the lock";
    mutex.unlock();
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(ProcessMutex, ClosedOrUnopenedHandleCannotLock)
{
    ProcessMutex mutex;
    EXPECT_FALSE(mutex.lock().ok());
    EXPECT_FALSE(mutex.open("/nonexistent-folder/lock").ok());
    EXPECT_FALSE(mutex.lock().ok());
}

TEST(TickCount, AdvancesInMilliseconds)
{
    uint32_t before = tickCount();
    usleep(20 * 1000);
    uint32_t elapsed = tickCount() - before;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 5000u);
}
