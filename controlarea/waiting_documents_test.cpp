// Moves into waiting/: never past the numbers the listing shows, never
// beside another hand-over, and never without telling when they fail.
#include "controlarea/waiting_documents.h"

#include "platform/testing/poll_until.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace korva;
using korva::testing::isBlocked;
using korva::testing::pollUntil;
using korva::testing::readWholeFile;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace {

namespace fs = std::filesystem;

const std::string kLast = "9999999999999999999";
const std::string kFirst = "0000000000000000000";

TEST(WaitingDocuments, AMoveThatCannotBeMadeSafelyLeavesThePrintAndSaysWhy)
{
    struct Row {
        const char* fault;
        std::function<void(const std::string& spool)> arrange;
        bool front;
        int error;
    };
    const std::vector<Row> rows = {
        {"the last number is taken",
         [](const std::string& spool) { writeWholeFile(waitingFolder(spool) + "/" + kLast + ".tif", "old"); }, false,
         EOVERFLOW},
        {"the first number is taken, put back in front",
         [](const std::string& spool) { writeWholeFile(waitingFolder(spool) + "/" + kFirst + ".tif", "old"); }, true,
         EOVERFLOW},
        {"the hand-over lock is a folder",
         [](const std::string& spool) { fs::create_directories(handOverLockPath(spool)); }, true, EISDIR},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        TempHome home;
        const std::string spool = home.spool();
        fs::create_directories(waitingFolder(spool));
        row.arrange(spool);
        const std::string print = spool + "/korvafax1.tif";
        writeWholeFile(print, "printed");
        const auto before = listWaitingDocuments(spool).size();
        int error = (row.front ? putBackWaitingDocument(spool, print, ControlRecord{}) : underHandOverLock(spool, [&] {
                        return keepWaitingDocument(spool, print, {});
                    })).code();
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(readWholeFile(print), "printed");
        EXPECT_EQ(listWaitingDocuments(spool).size(), before);
        size_t files = 0;
        for (const auto& entry : fs::directory_iterator(waitingFolder(spool)))
            files += entry.path().filename().string().rfind(row.front ? kFirst : kLast, 0) != 0;
        EXPECT_EQ(files, 0u) << "a file the listing does not show";
    }
}

// A document given back while a printer hands over must wait for it, or
// both could take one number.
TEST(WaitingDocuments, PutBackWaitsForTheHandOverLock)
{
    TempHome home;
    const std::string spool = home.spool();
    fs::create_directories(spool);
    const std::string print = spool + "/korvafax1.tif";
    writeWholeFile(print, "printed");
    int held = ::open(handOverLockPath(spool).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    std::atomic<int> result{-1};
    std::atomic<pid_t> putter{0};
    std::thread putBack([&] {
        putter = ::gettid();
        result = putBackWaitingDocument(spool, print, ControlRecord{}).code();
    });
    EXPECT_TRUE(pollUntil([&] { return result != -1 || (putter != 0 && isBlocked(putter)); }));
    EXPECT_EQ(result.load(), -1) << "moved while another held the hand-over lock";
    EXPECT_TRUE(listWaitingDocuments(spool).empty());
    flock(held, LOCK_UN);
    putBack.join();
    ::close(held);
    EXPECT_EQ(result.load(), 0);
    ASSERT_EQ(listWaitingDocuments(spool).size(), 1u);
    EXPECT_EQ(readWholeFile(listWaitingDocuments(spool)[0].printFile), "printed");
}

}  // namespace
