#include "faxcourier/pipeline/spool_watcher.h"

#include "faxcourier/pipeline/testing/recording_target.h"
#include "faxcourier/pipeline/watch_file.h"
#include "controlarea/control_area.h"
#include "faxcourier/foundation/log.h"
#include "platform/courier_presence.h"
#include "platform/paths.h"
#include "platform/testing/poll_until.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
using korva::testing::pollUntil;
using korva::testing::Posted;

namespace {

class SpoolWatcherTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(korva::makeFolders(spool, 0700).ok()); }

    // Writes a per-job file in a few appends and renames it to the watch
    // file, as the exit library hands a document over.
    void deliver(const std::string& content = "page data")
    {
        std::string job = spool + "/korvafax_tester_" + std::to_string(++jobs) + ".tif";
        appendBands(job, content);
        ASSERT_EQ(std::rename(job.c_str(), watchFile.c_str()), 0);
    }

    void appendBands(const std::string& path, const std::string& content)
    {
        for (int band = 0; band < 3; ++band) {
            FILE* file = std::fopen(path.c_str(), "a");
            ASSERT_NE(file, nullptr);
            std::fputs(content.c_str(), file);
            std::fclose(file);
        }
    }

    // Waits until the watcher has dealt with a wake-up after `before`.
    void waitForWakeUpAfter(unsigned before)
    {
        ASSERT_TRUE(pollUntil([&] { return watcher.wakeUps() > before; }, 5s));
    }

    void touchControlFile()
    {
        unsigned before = watcher.wakeUps();
        korva::testing::writeWholeFile(spool + "/control.dat", std::string(1500, 'x'));
        waitForWakeUpAfter(before);
    }

    korva::testing::TempHome home;
    std::string spool = home.spool();
    std::string watchFile = korva::watchFilePath(spool);
    korva::testing::RecordingTarget mainWindow;
    std::atomic<bool> busy{false};
    korva::SpoolWatcher watcher{spool, mainWindow, busy};
    int jobs = 0;
};

TEST_F(SpoolWatcherTest, NewWatchFileIsAnnouncedOnce)
{
    ASSERT_TRUE(watcher.start());
    deliver();
    ASSERT_TRUE(mainWindow.waitForCount(1, 5s));
    EXPECT_EQ(mainWindow.posted(), (std::vector<Posted>{{korva::kDocumentWaiting, 0}}));
    EXPECT_TRUE(busy.load());

    busy = false;  // the main window has dealt with it and left it there
    touchControlFile();
    touchControlFile();
    EXPECT_EQ(mainWindow.count(), 1u);
}

TEST_F(SpoolWatcherTest, PerJobFilesAndControlDataAnnounceNothing)
{
    ASSERT_TRUE(watcher.start());
    unsigned before = watcher.wakeUps();
    appendBands(spool + "/korvafax_tester_00001234.tif", "band");
    waitForWakeUpAfter(before);
    touchControlFile();
    std::remove((spool + "/korvafax_tester_00001234.tif").c_str());
    touchControlFile();
    EXPECT_EQ(mainWindow.count(), 0u);
    EXPECT_FALSE(busy.load());

    deliver();  // the watcher is still listening
    EXPECT_TRUE(mainWindow.waitForCount(1, 5s));
}

TEST_F(SpoolWatcherTest, WatchFilePresentAtStartIsNotAnnounced)
{
    deliver();
    ASSERT_TRUE(watcher.start());
    touchControlFile();
    EXPECT_EQ(mainWindow.count(), 0u);

    deliver();
    EXPECT_TRUE(mainWindow.waitForCount(1, 5s));
}

TEST_F(SpoolWatcherTest, DeletedWatchFileAnnouncesNothingAndTheNextIsAnnounced)
{
    ASSERT_TRUE(watcher.start());
    deliver();
    ASSERT_TRUE(mainWindow.waitForCount(1, 5s));
    busy = false;

    unsigned before = watcher.wakeUps();
    ASSERT_EQ(std::remove(watchFile.c_str()), 0);
    waitForWakeUpAfter(before);
    EXPECT_EQ(mainWindow.count(), 1u);

    deliver();
    ASSERT_TRUE(mainWindow.waitForCount(2, 5s));
    EXPECT_EQ(mainWindow.count(), 2u);
}

TEST_F(SpoolWatcherTest, TwoDocumentsWithTheSameTimeStampAreTwo)
{
    ASSERT_TRUE(watcher.start());
    deliver("first");
    ASSERT_TRUE(mainWindow.waitForCount(1, 5s));
    busy = false;

    struct stat first {};
    ASSERT_EQ(stat(watchFile.c_str(), &first), 0);
    std::string job = spool + "/korvafax_tester_second.tif";
    korva::testing::writeWholeFile(job, "first");  // same size as well
    timespec times[2] = {first.st_atim, first.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, job.c_str(), times, 0), 0);
    ASSERT_EQ(std::rename(job.c_str(), watchFile.c_str()), 0);
    EXPECT_TRUE(mainWindow.waitForCount(2, 5s));
}

TEST_F(SpoolWatcherTest, NothingIsPostedWhileBusyAndTheWaitingFileFollowsOnce)
{
    std::string job = spool + "/korvafax_tester_waiting.tif";
    appendBands(job, "page data");
    busy = true;
    ASSERT_TRUE(watcher.start());
    unsigned before = watcher.wakeUps();
    // One rename: its events arrive together, so the only later wake-up is
    // the one-second retry.
    ASSERT_EQ(std::rename(job.c_str(), watchFile.c_str()), 0);
    waitForWakeUpAfter(before);
    EXPECT_EQ(mainWindow.count(), 0u);

    busy = false;
    ASSERT_TRUE(mainWindow.waitForCount(1, 5s));
    EXPECT_TRUE(busy.load());
    busy = false;
    touchControlFile();
    EXPECT_EQ(mainWindow.count(), 1u);
}

TEST_F(SpoolWatcherTest, StopEndsTheThreadWhileBusy)
{
    busy = true;
    ASSERT_TRUE(watcher.start());
    unsigned before = watcher.wakeUps();
    deliver();
    waitForWakeUpAfter(before);
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(watcher.stop(5000));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms);
    EXPECT_EQ(mainWindow.count(), 0u);
}

TEST_F(SpoolWatcherTest, StopEndsAnIdleThread)
{
    ASSERT_TRUE(watcher.start());
    EXPECT_FALSE(watcher.waitForEnd(20));
    EXPECT_TRUE(watcher.stop(5000));
}

TEST_F(SpoolWatcherTest, MissingFolderCannotBeWatched)
{
    korva::SpoolWatcher elsewhere(spool + "/missing", mainWindow, busy);
    EXPECT_FALSE(elsewhere.start());
    EXPECT_TRUE(elsewhere.stop(100));
}

bool logHas(const std::string& text)
{
    return korva::testing::readWholeFile(korva::logFilePath()).find(text) != std::string::npos;
}

bool isFolder(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Stops the watcher and expects it gone at once.
void expectQuickStop(korva::SpoolWatcher& watcher)
{
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(watcher.stop(5000));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms);
}

TEST_F(SpoolWatcherTest, RemovedFolderIsMadeAgainAndTheNextDocumentAnnounced)
{
    std::atomic<int> remade{0};
    watcher.onFolderRemade([&] { remade += isFolder(spool) ? 1 : 100; });
    ASSERT_TRUE(watcher.start());
    deliver("before");
    ASSERT_TRUE(mainWindow.waitForCount(1, 5s));
    busy = false;

    // Open as faxcourier keeps its lock files: the folder's own delete
    // event then waits for the close.
    int held = open((spool + "/control.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    std::filesystem::remove_all(spool);
    ASSERT_TRUE(pollUntil([&] { return remade.load() != 0; }, 5s));
    EXPECT_EQ(remade.load(), 1);
    EXPECT_EQ(korva::testing::fileMode(spool), 0700u);
    EXPECT_TRUE(logHas("The spool folder " + spool + " has gone; making it again"));
    EXPECT_TRUE(logHas("Watching the spool folder " + spool + " again"));
    EXPECT_EQ(mainWindow.count(), 1u);

    deliver("after");  // as the exit library hands the next one over
    ASSERT_TRUE(mainWindow.waitForCount(2, 5s));
    EXPECT_EQ(mainWindow.count(), 2u);
    EXPECT_EQ(mainWindow.posted()[1], (Posted{korva::kDocumentWaiting, 0}));
    close(held);  // the old folder's late delete event changes nothing
    touchControlFile();
    EXPECT_EQ(mainWindow.count(), 2u);
    EXPECT_EQ(remade.load(), 1);
    expectQuickStop(watcher);
}

TEST_F(SpoolWatcherTest, DocumentInAFolderMadeAgainByTheExitLibraryIsAnnounced)
{
    ASSERT_TRUE(watcher.start());
    // The folder goes and the exit library makes it and hands a document
    // over before the watcher has looked: the watch comes after the file.
    std::filesystem::remove_all(spool);
    ASSERT_TRUE(korva::spoolFolder().ok());
    deliver();
    ASSERT_TRUE(mainWindow.waitForCount(1, 5s));
    EXPECT_TRUE(busy.load());
    busy = false;
    deliver("next");
    EXPECT_TRUE(mainWindow.waitForCount(2, 5s));
}

TEST_F(SpoolWatcherTest, RemovedWhileBusyTheWaitingDocumentFollowsOnce)
{
    busy = true;
    ASSERT_TRUE(watcher.start());
    std::filesystem::remove_all(spool);
    ASSERT_TRUE(pollUntil([&] { return logHas("Watching the spool folder " + spool + " again"); }, 5s));
    deliver();
    unsigned before = watcher.wakeUps();
    waitForWakeUpAfter(before);
    EXPECT_EQ(mainWindow.count(), 0u);

    busy = false;
    ASSERT_TRUE(mainWindow.waitForCount(1, 5s));
    busy = false;
    touchControlFile();
    EXPECT_EQ(mainWindow.count(), 1u);
}

// A file takes the folder's place (the folder swapped out in one step, so
// the watcher cannot make it first): making the folder fails until the
// file goes.
class SpoolWatcherBlockedFolder : public SpoolWatcherTest {
protected:
    void blockFolder()
    {
        std::string blocker = spool + ".blocker";
        korva::testing::writeWholeFile(blocker, "not a folder");
        ASSERT_EQ(renameat2(AT_FDCWD, blocker.c_str(), AT_FDCWD, spool.c_str(), RENAME_EXCHANGE), 0);
        std::filesystem::remove_all(blocker);  // the old folder
        ASSERT_TRUE(pollUntil([&] { return logHas("Unable to make the spool folder " + spool + " again"); }, 5s));
    }
};

TEST_F(SpoolWatcherBlockedFolder, StopEndsTheThreadWhileItTriesToMakeTheFolder)
{
    ASSERT_TRUE(watcher.start());
    blockFolder();
    EXPECT_FALSE(watcher.waitForEnd(50));  // still trying
    expectQuickStop(watcher);
    EXPECT_FALSE(isFolder(spool));
}

TEST_F(SpoolWatcherBlockedFolder, FolderIsMadeOnceTheWayIsFreeAndWatchedFromThen)
{
    ASSERT_TRUE(watcher.start());
    blockFolder();
    ASSERT_EQ(std::remove(spool.c_str()), 0);
    ASSERT_TRUE(pollUntil([&] { return logHas("Watching the spool folder " + spool + " again"); }, 3s));
    EXPECT_EQ(korva::testing::fileMode(spool), 0700u);
    deliver();
    EXPECT_TRUE(mainWindow.waitForCount(1, 5s));
}

// faxcourier opened the control area before the folder went; a preset
// written into the new folder afterwards must still reach it.
TEST_F(SpoolWatcherTest, ControlAreaWorksInTheFolderMadeAgain)
{
    ASSERT_TRUE(korva::openControlArea());
    ASSERT_TRUE(watcher.start());
    std::filesystem::remove_all(spool);
    ASSERT_TRUE(pollUntil([&] { return logHas("Watching the spool folder " + spool + " again"); }, 5s));

    auto preset = korva::testing::runProcess(
        {korva::testing::binPath("faxpreset"), "-s", "after the loss", "-r", "0301~Anna~Yarrow"});
    EXPECT_EQ(preset.exitCode, 0) << preset.out << preset.err;
    korva::ControlRecord record;
    ASSERT_TRUE(korva::readControlRecord(record));
    EXPECT_EQ(korva::fieldText(record.subject), "after the loss");
    EXPECT_EQ(korva::fieldText(record.recipients[0]), "0301~Anna~Yarrow");
    EXPECT_EQ(korva::testing::fileMode(spool + "/control.dat"), 0600u);

    auto list = korva::testing::runProcess({korva::testing::binPath("faxpreset"), "-list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    korva::closeControlArea();
}

// The running mark went with the folder; taken again from the hook, the exit
// library sees faxcourier running again.
TEST_F(SpoolWatcherTest, RunningMarkCanBeTakenAgainWhenTheFolderIsMadeAgain)
{
    korva::CourierPresence presence;
    ASSERT_TRUE(presence.hold(spool).ok());
    std::atomic<int> held{-1};
    watcher.onFolderRemade([&] { held = presence.hold(spool).code(); });
    ASSERT_TRUE(watcher.start());
    std::filesystem::remove_all(spool);
    ASSERT_TRUE(pollUntil([&] { return held.load() != -1; }, 5s));
    EXPECT_EQ(held.load(), 0);
    EXPECT_TRUE(korva::courierRunning(spool));
}

TEST(WatchFile, StampFollowsTheFile)
{
    korva::testing::TempHome home;
    ASSERT_TRUE(korva::makeFolders(home.spool(), 0700).ok());
    std::string path = korva::watchFilePath(home.spool());
    EXPECT_EQ(path, home.spool() + "/korvafax.tif");

    korva::WatchFileTime stamp;
    EXPECT_FALSE(korva::getWatchFileTime(path, stamp));
    EXPECT_EQ(stamp, korva::WatchFileTime{});

    korva::testing::writeWholeFile(path, "x");
    ASSERT_TRUE(korva::getWatchFileTime(path, stamp));
    EXPECT_NE(stamp, korva::WatchFileTime{});

    korva::WatchFileTime same;
    ASSERT_TRUE(korva::getWatchFileTime(path, same));
    EXPECT_EQ(stamp, same);

    ASSERT_EQ(mkfifo((path + ".fifo").c_str(), 0600), 0);
    EXPECT_FALSE(korva::getWatchFileTime(path + ".fifo", stamp));
}

}  // namespace
