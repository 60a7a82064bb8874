#include "faxcourier/foundation/log.h"

#include "platform/paths.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

using korva::LogAlways;
using korva::LogDebug;
using korva::testing::readWholeFile;
using korva::testing::TempHome;

namespace {

class Log : public ::testing::Test {
protected:
    std::string log() { return readWholeFile(korva::logFilePath()); }
    TempHome home_;
};

}  // namespace

TEST_F(Log, PathFollowsTheStateHomeAndItsFolderIsCreated)
{
    EXPECT_EQ(korva::logFilePath(), home_.stateHome() + "/KORVAFax/korvafax.log");
    EXPECT_FALSE(std::filesystem::exists(home_.stateHome()));
    LogAlways(1, "Connect 1\n");
    EXPECT_EQ(log(), "Connect 1\n");
    EXPECT_EQ(korva::testing::fileMode(home_.stateHome() + "/KORVAFax"), 0700u);
    EXPECT_EQ(korva::testing::fileMode(korva::logFilePath()), 0600u);
}

TEST_F(Log, DebugMessagesOnlyWhileTheFlagIsOn)
{
    EXPECT_FALSE(korva::debugLogging());
    LogAlways(1, "Connect 1\n");
    LogDebug("Connected OK\n");
    EXPECT_EQ(log(), "Connect 1\n");
    korva::testing::ScopedSeam debugLogging(korva::setDebugLogging, true);
    LogDebug("GetByte got data (%d)\n", 65);
    EXPECT_EQ(log(), "Connect 1\nGetByte got data (65)\n");
}

TEST_F(Log, NothingIsAddedToAMessage)
{
    LogAlways(-1, "Out Of Memory in String Assignment");
    LogAlways(2, "%s|%d", "no line end", 7);
    EXPECT_EQ(log(),
              "Out Of Memory in String Assignment"
              "no line end|7");
}

TEST_F(Log, MessagesAreCutToFiveHundredCharacters)
{
    std::string long700(700, 'x');
    long700.replace(499, 2, "YZ");
    LogAlways(0, "%s", long700.c_str());
    std::string written = log();
    EXPECT_EQ(written.size(), 500u);
    EXPECT_EQ(written.back(), 'Y');
    // Longer than the 1000-character format buffer: cut, not overrun.
    korva::testing::ScopedSeam debugLogging(korva::setDebugLogging, true);
    std::string long5000(5000, 'z');
    LogDebug("%s", long5000.c_str());
    EXPECT_EQ(log().size(), 1000u);
}

TEST_F(Log, MissingFolderThatCannotBeMadeLosesTheMessageQuietly)
{
    std::filesystem::create_directories(home_.stateHome());
    korva::testing::writeWholeFile(home_.stateHome() + "/KORVAFax", "a file in the way");
    LogAlways(0, "lost\n");
    EXPECT_EQ(readWholeFile(home_.stateHome() + "/KORVAFax"), "a file in the way");
}

TEST_F(Log, ThreadsInterleaveOnlyWholeMessages)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            std::string line(300, char('a' + t));
            for (int i = 0; i < 50; ++i)
                LogAlways(1, "%s\n", line.c_str());
        });
    for (auto& thread : threads)
        thread.join();
    std::istringstream lines(log());
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        ASSERT_EQ(line.size(), 300u);
        EXPECT_EQ(line.find_first_not_of(line[0]), std::string::npos);
    }
    EXPECT_EQ(count, 200);
}

TEST_F(Log, FifoInPlaceOfTheLogLosesTheMessageWithoutWaiting)
{
    ASSERT_TRUE(korva::makeFolders(home_.stateHome() + "/KORVAFax", 0700).ok());
    ASSERT_EQ(mkfifo(korva::logFilePath().c_str(), 0600), 0);
    EXPECT_TRUE(korva::testing::endsWithoutWaitingOn(korva::logFilePath(), [] { LogAlways(1, "lost\n"); }));
}
