// The hand-over: a finished document that faxcourier has not taken yet is
// never deleted or replaced, and the driver never waits for faxcourier.
// faxcourier is played by a child process that holds the presence mark.
#include "bandsink64/testing/sink_test_support.h"
#include "platform/testing/tiff_pages.h"
#include "controlarea/waiting_documents.h"
#include "platform/courier_presence.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <set>
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

class HandOverTest : public ::testing::Test {
protected:
    HandOverTest()
    {
        std::filesystem::create_directories(home.spool());
        writeExitLogging(home.sysconf(), "3", logFile());
    }

    std::string watchFile() const { return home.spool() + "/korvafax.tif"; }
    std::string controlFile() const { return home.spool() + "/control.dat"; }
    std::string logFile() const { return home.path() + "/sink.log"; }

    void printDocument(const std::string& name, int32_t rows = 40)
    {
        void* job = nullptr;
        ASSERT_EQ(sink.startDocExit(7, name.c_str(), &job), 0);
        ASSERT_EQ(sink.startPageExit(&job), 0);
        DriverMonoBand b = patternedMonoBand(1728, rows, 2);
        ASSERT_EQ(sink.endPageExit(b.bits.data(), rows, 1728, 1, 200, 200, 0, &job), 0);
        ASSERT_EQ(sink.endDocExit(&job), 0);
    }

    ControlRecord recordIn(const std::string& path) const
    {
        ControlRecord record{};
        std::string bytes = readWholeFile(path);
        std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
        return record;
    }

    // Every document waiting for faxcourier, oldest first, as
    // "name:rows": the watch file with control.dat, then the kept ones.
    std::vector<std::string> waitingDocuments() const
    {
        std::vector<std::string> found;
        if (std::filesystem::exists(watchFile()))
            found.push_back(fieldText(recordIn(controlFile()).documentName) + ":" +
                            std::to_string(readTiffPages(watchFile()).at(0).height));
        for (const WaitingDocument& kept : listWaitingDocuments(home.spool()))
            found.push_back(fieldText(recordIn(kept.recordFile).documentName) + ":" +
                            std::to_string(readTiffPages(kept.printFile).at(0).height));
        return found;
    }

    std::vector<std::string> perJobFiles() const { return korva::testing::perJobFiles(home.spool()); }

    TempHome home;
    SinkLibrary sink;
};

// Whether faxcourier runs and never takes, or runs not at all, the next
// document goes behind the waiting one with its own record, at once.
TEST_F(HandOverTest, NextDocumentWaitsBehindTheUntakenOneWithItsOwnRecord)
{
    for (bool courierRuns : {true, false}) {
        SCOPED_TRACE(courierRuns ? "faxcourier busy" : "no faxcourier");
        std::filesystem::remove_all(home.spool());
        std::filesystem::create_directories(home.spool());
        std::unique_ptr<CourierProcess> courier;
        if (courierRuns) {
            courier = std::make_unique<CourierProcess>(home.spool(), 0ms);
            ASSERT_TRUE(courier->held());
        }
        printDocument("first", 30);
        Clock::time_point start = Clock::now();
        printDocument("second", 50);
        printDocument("third", 70);
        // Waiting for faxcourier would cost each document its hundred
        // retries of 100 ms; a slow sanitizer build takes two seconds without.
        EXPECT_LT(msSince(start), 5000) << "the driver must not wait for faxcourier";
        EXPECT_EQ(waitingDocuments(), (std::vector<std::string>{"first:30", "second:50", "third:70"}));
        EXPECT_EQ(fileMode(listWaitingDocuments(home.spool()).at(0).printFile), 0600u);
        EXPECT_EQ(fileMode(waitingFolder(home.spool())), 0700u);
    }
}

TEST_F(HandOverTest, DocumentWithoutPagesLeavesTheWaitingDocumentAlone)
{
    writeExitLogging(home.sysconf(), "1", logFile());
    printDocument("earlier", 30);
    void* job = nullptr;
    ASSERT_EQ(sink.startDocExit(8, "empty", &job), 0);
    ASSERT_EQ(sink.endDocExit(&job), 0);
    EXPECT_EQ(waitingDocuments(), std::vector<std::string>{"earlier:30"});
    EXPECT_TRUE(logMessages(logFile()).empty());
}

// A document that cannot be placed safely is not handed over: it stays
// under its per-job name, the user is told, and the driver gets -1 so the
// job is not reported as faxed. Each row breaks one step at the end of the
// document.
TEST_F(HandOverTest, DocumentThatCannotBeHandedOverFailsTheJobAndSaysWhy)
{
    struct Row {
        const char* fault;
        std::function<void(const std::string& spool)> arrange;
    };
    const std::vector<Row> rows = {
        {"control.dat a folder",
         [](const std::string& spool) { std::filesystem::create_directories(spool + "/control.dat/in-the-way"); }},
        {"control.dat a link",
         [](const std::string& spool) { std::filesystem::create_symlink("/etc/hostname", spool + "/control.dat"); }},
        {"korvafax.tif a folder",
         [](const std::string& spool) { std::filesystem::create_directories(spool + "/korvafax.tif/in-the-way"); }},
        {"handover.lock a folder",
         [](const std::string& spool) { std::filesystem::create_directories(spool + "/handover.lock"); }},
        {"the control area cannot be opened at the end", [](const std::string& spool) { chmod(spool.c_str(), 0777); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        std::filesystem::remove_all(home.spool());
        std::filesystem::create_directories(home.spool());
        chmod(home.spool().c_str(), 0700);
        void* job = nullptr;
        ASSERT_EQ(sink.startDocExit(7, "rcpt:777~Next~", &job), 0);
        ASSERT_EQ(sink.startPageExit(&job), 0);
        DriverMonoBand b = patternedMonoBand(1728, 40, 2);
        ASSERT_EQ(sink.endPageExit(b.bits.data(), 40, 1728, 1, 200, 200, 0, &job), 0);
        row.arrange(home.spool());
        StderrCapture boxes;
        EXPECT_EQ(sink.endDocExit(&job), -1);
        chmod(home.spool().c_str(), 0700);
        EXPECT_FALSE(std::filesystem::is_regular_file(watchFile()));
        EXPECT_TRUE(listWaitingDocuments(home.spool()).empty());
        ASSERT_EQ(perJobFiles().size(), 1u);
        EXPECT_NE(boxes.text().find("was not faxed. Its print file stays as " + perJobFiles()[0]), std::string::npos)
            << boxes.text();
    }
}

// Several printers at once: every document arrives once, with its own
// record, and each printer's documents stay in printing order.
TEST_F(HandOverTest, PrintersAtTheSameMomentLoseNothing)
{
    constexpr int kPrinters = 3;
    constexpr int kRounds = 8;
    std::vector<pid_t> printers;
    for (int p = 0; p < kPrinters; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int r = 0; r < kRounds; ++r) {
                const std::string name = "p" + std::to_string(p) + "-" + std::to_string(r);
                void* job = nullptr;
                int32_t rows = 10 + p * kRounds + r;
                DriverMonoBand b = patternedMonoBand(1728, rows, 2);
                if (sink.startDocExit(7, name.c_str(), &job) != 0 || sink.startPageExit(&job) != 0 ||
                    sink.endPageExit(b.bits.data(), rows, 1728, 1, 200, 200, 0, &job) != 0 ||
                    sink.endDocExit(&job) != 0)
                    _exit(1);
            }
            _exit(0);
        }
        printers.push_back(pid);
    }
    for (pid_t pid : printers) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    std::vector<std::string> found = waitingDocuments();
    EXPECT_EQ(found.size(), size_t(kPrinters * kRounds));
    std::vector<int> lastRound(kPrinters, -1);
    std::set<std::string> unique;
    for (const std::string& document : found) {
        int p = -1, r = -1, rows = -1;
        ASSERT_EQ(std::sscanf(document.c_str(), "p%d-%d:%d", &p, &r, &rows), 3) << document;
        EXPECT_EQ(rows, 10 + p * kRounds + r) << document << ": another document's record";
        EXPECT_GT(r, lastRound.at(p)) << document << " out of printing order";
        lastRound.at(p) = r;
        unique.insert(document);
    }
    EXPECT_EQ(unique.size(), found.size());
    EXPECT_TRUE(perJobFiles().empty());
}

TEST_F(HandOverTest, PerJobFilesAreNeverShared)
{
    void* first = nullptr;
    void* second = nullptr;
    ASSERT_EQ(sink.startDocExit(1, "a", &first), 0);
    ASSERT_EQ(sink.startDocExit(2, "b", &second), 0);
    for (void** job : {&first, &second}) {
        ASSERT_EQ(sink.startPageExit(job), 0);
        DriverMonoBand b = patternedMonoBand(1728, 20, 1);
        ASSERT_EQ(sink.endPageExit(b.bits.data(), 20, 1728, 1, 200, 200, 1, job), 0);
    }
    EXPECT_EQ(perJobFiles().size(), 2u) << "two documents started in one millisecond";
    ASSERT_EQ(sink.endDocExit(&first), 0);
    ASSERT_EQ(sink.endDocExit(&second), 0);
    EXPECT_EQ(waitingDocuments().size(), 2u);
}

}  // namespace
