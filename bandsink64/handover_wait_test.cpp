// The hand-over while faxcourier runs: a finished document it has not taken
// yet is given time to go before the next one takes its place. faxcourier
// is played by a child process that holds the presence mark.
#include "bandsink64/testing/sink_test_support.h"
#include "platform/courier_presence.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace korva;
using namespace korva::testing;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point start)
{
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// A process that holds the mark; after `takeAfter` it takes the watch file
// as faxcourier does, by renaming it to a work file (never when zero).
class CourierProcess {
public:
    CourierProcess(const std::string& spool, std::chrono::milliseconds takeAfter)
    {
        int ready[2];
        if (pipe(ready) != 0)
            throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            CourierPresence presence(spool);
            char held = presence.held() ? 'y' : 'n';
            if (write(ready[1], &held, 1) != 1)
                _exit(2);
            if (takeAfter.count() > 0) {
                std::this_thread::sleep_for(takeAfter);
                std::rename((spool + "/korvafax.tif").c_str(), (spool + "/korvafax1.tif").c_str());
            }
            pause();
            _exit(0);
        }
        close(ready[1]);
        char held = 0;
        held_ = read(ready[0], &held, 1) == 1 && held == 'y';
        close(ready[0]);
    }
    ~CourierProcess()
    {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    bool held() const { return held_; }

private:
    pid_t pid_ = -1;
    bool held_ = false;
};

class HandOverWaitTest : public ::testing::Test {
protected:
    HandOverWaitTest()
    {
        std::filesystem::create_directories(home.spool());
        writeExitLogging(home.sysconf(), "3", logFile());
        unsetenv("KORVAFAX_HANDOVER_WAIT_MS");
    }
    ~HandOverWaitTest() override { unsetenv("KORVAFAX_HANDOVER_WAIT_MS"); }

    std::string watchFile() const { return home.spool() + "/korvafax.tif"; }
    std::string logFile() const { return home.path() + "/sink.log"; }

    void printDocument(const char* name)
    {
        void* job = nullptr;
        ASSERT_EQ(sink.startDocExit(7, name, &job), 0);
        ASSERT_EQ(sink.startPageExit(&job), 0);
        DriverMonoBand b = patternedMonoBand(1728, 40, 2);
        ASSERT_EQ(sink.endPageExit(b.bits.data(), 40, 1728, 1, 200, 200, 0, &job), 0);
        ASSERT_EQ(sink.endDocExit(&job), 0);
    }

    bool logged(const std::string& prefix) const
    {
        auto messages = logMessages(logFile());
        return std::any_of(messages.begin(), messages.end(),
                           [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
    }

    TempHome home;
    SinkLibrary sink;
};

TEST_F(HandOverWaitTest, WaitingDocumentIsTakenBeforeTheNextReplacesIt)
{
    writeWholeFile(watchFile(), "earlier document");
    CourierProcess courier(home.spool(), 300ms);
    ASSERT_TRUE(courier.held());
    Clock::time_point start = Clock::now();
    printDocument("next");
    long waited = msSince(start);

    EXPECT_EQ(readWholeFile(home.spool() + "/korvafax1.tif"), "earlier document");
    EXPECT_EQ(readTiffPages(watchFile()).size(), 1u);
    EXPECT_GE(waited, 250);
    EXPECT_LT(waited, 5000);
    EXPECT_TRUE(logged("Leaving " + watchFile() + " for faxcourier"));
    EXPECT_TRUE(logged("Waiting for faxcourier to take " + watchFile()));
    EXPECT_TRUE(logged("faxcourier took " + watchFile() + " after "));
}

TEST_F(HandOverWaitTest, DocumentNeverTakenIsReplacedAfterTheLimit)
{
    setenv("KORVAFAX_HANDOVER_WAIT_MS", "400", 1);
    writeWholeFile(watchFile(), "earlier document");
    CourierProcess courier(home.spool(), 0ms);
    ASSERT_TRUE(courier.held());
    Clock::time_point start = Clock::now();
    printDocument("next");
    long waited = msSince(start);

    EXPECT_EQ(readTiffPages(watchFile()).size(), 1u);
    EXPECT_GE(waited, 400);
    EXPECT_LT(waited, 5000);
    EXPECT_TRUE(logged("faxcourier did not take " + watchFile() + " within "));
}

TEST_F(HandOverWaitTest, WithoutCourierTheWaitingDocumentIsReplacedAtOnce)
{
    // The mark of a faxcourier that has ended: the file is there, unlocked.
    { CourierPresence ended(home.spool()); }
    writeWholeFile(watchFile(), "earlier document");
    Clock::time_point start = Clock::now();
    printDocument("next");
    EXPECT_LT(msSince(start), 2000);  // the limit is 60 s: no wait at all
    EXPECT_EQ(readTiffPages(watchFile()).size(), 1u);
    EXPECT_FALSE(logged("Waiting for faxcourier"));
    EXPECT_FALSE(logged("Leaving "));
}

TEST_F(HandOverWaitTest, DocumentWithoutPagesLeavesTheWaitingDocumentAlone)
{
    writeExitLogging(home.sysconf(), "1", logFile());
    writeWholeFile(watchFile(), "earlier document");
    CourierProcess courier(home.spool(), 0ms);
    ASSERT_TRUE(courier.held());
    Clock::time_point start = Clock::now();
    void* job = nullptr;
    ASSERT_EQ(sink.startDocExit(8, "empty", &job), 0);
    ASSERT_EQ(sink.endDocExit(&job), 0);
    EXPECT_LT(msSince(start), 2000);
    EXPECT_EQ(readWholeFile(watchFile()), "earlier document");
    EXPECT_EQ(logMessages(logFile()), std::vector<std::string>{"Move File Error - 2"});
}

TEST_F(HandOverWaitTest, NoWaitWhenNothingIsWaiting)
{
    CourierProcess courier(home.spool(), 0ms);
    ASSERT_TRUE(courier.held());
    Clock::time_point start = Clock::now();
    printDocument("only");
    EXPECT_LT(msSince(start), 2000);
    EXPECT_EQ(readTiffPages(watchFile()).size(), 1u);
    EXPECT_FALSE(logged("Waiting for faxcourier"));
}

}  // namespace
