// The exit library's log: levels, entry format and when settings are read.
#include "bandsink64/testing/sink_test_support.h"
#include "platform/testing/tiff_pages.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace korva::testing;

namespace {

class ExitLogTest : public ::testing::Test {
protected:
    std::string logFile() const { return home.path() + "/sink.log"; }
    void setLevel(const std::string& level) { writeExitLogging(home.sysconf(), level, logFile()); }

    // A document with one page of two bands.
    void printDocument(SinkLibrary& sink)
    {
        void* job = nullptr;
        sink.startDocExit(42, "log me", &job);
        sink.startPageExit(&job);
        DriverMonoBand b1 = patternedMonoBand(1728, 10, 1), b2 = b1;
        sink.endPageExit(b1.bits.data(), 10, 1728, 1, 200, 196, 1, &job);
        sink.endPageExit(b2.bits.data(), 10, 1728, 1, 200, 196, 0, &job);
        sink.endDocExit(&job);
    }

    std::vector<std::string> traceOfOneDocument() const
    {
        const std::string perJob = "Final file Path: " + home.spool() + "/korvafax_";
        return {"startDocExit - jobID: 42, pszDocName: log me",
                perJob,  // compared by prefix
                "startPageExit",
                "endPageExit - lHeight: 10, lWidth: 1728, nBitmapFormat: 1, nXResolution: 200, nYResolution: 196, "
                "bBanding: 1",
                "Creating " + home.spool() + "/korvafax_",  // by prefix
                "First band, Initializing monochrome TIFF header",
                "endPageExit - lHeight: 10, lWidth: 1728, nBitmapFormat: 1, nXResolution: 200, nYResolution: 196, "
                "bBanding: 0",
                "Appending TIFF data since this is not the first band",
                "No longer banding, so write out the TIFF directory. Image Height is 20",
                "endDocExit",
                "Save doc name log me to control data"};
    }

    static void expectTrace(const std::vector<std::string>& got, const std::vector<std::string>& want)
    {
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            if (want[i].back() == '_')
                EXPECT_EQ(got[i].rfind(want[i], 0), 0u) << got[i];
            else
                EXPECT_EQ(got[i], want[i]);
        }
    }

    TempHome home;
};

TEST_F(ExitLogTest, LevelZeroOrMissingWritesNoLog)
{
    SinkLibrary sink;
    setLevel("0");
    printDocument(sink);
    EXPECT_FALSE(std::filesystem::exists(logFile()));

    // No INI at all: the default log file in the current folder stays away.
    std::filesystem::remove(home.sysconf() + "/JOVPRINT.INI");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(home.path());
    printDocument(sink);
    void* job = nullptr;
    sink.startDocExit(1, "no pages", &job);
    sink.endDocExit(&job);
    EXPECT_FALSE(std::filesystem::exists(home.path() + "/Bandsink64.log"));
    std::filesystem::current_path(previous);
}

TEST_F(ExitLogTest, LevelOneAndTwoWriteOnlyErrors)
{
    SinkLibrary sink;
    for (const char* level : {"1", "2"}) {
        std::filesystem::remove(logFile());
        std::filesystem::remove_all(home.spool());
        setLevel(level);
        printDocument(sink);
        EXPECT_FALSE(std::filesystem::exists(logFile())) << "level " << level;
        // faxcourier takes the document; a folder in control.dat's place
        // then makes the next record unreadable.
        std::filesystem::remove(home.spool() + "/korvafax.tif");
        std::filesystem::remove(home.spool() + "/control.dat");
        std::filesystem::create_directories(home.spool() + "/control.dat/in-the-way");
        printDocument(sink);
        auto messages = logMessages(logFile());
        ASSERT_FALSE(messages.empty()) << "level " << level;
        EXPECT_EQ(messages.front(), "Cannot read the control data for log me") << "level " << level;
    }
}

TEST_F(ExitLogTest, LevelThreeWritesTheWholeTraceWithTimeStamps)
{
    SinkLibrary sink;
    setLevel("3");
    printDocument(sink);
    expectTrace(logMessages(logFile()), traceOfOneDocument());

    std::istringstream lines(readWholeFile(logFile()));
    std::string stamp, message;
    const std::regex asctimeText(
        "(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
        "[ 1-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}");
    int entries = 0;
    while (std::getline(lines, stamp) && std::getline(lines, message)) {
        EXPECT_TRUE(std::regex_match(stamp, asctimeText)) << stamp;
        EXPECT_EQ(message.rfind("  ", 0), 0u) << message;
        ++entries;
    }
    EXPECT_EQ(entries, 11);
    EXPECT_EQ(fileMode(logFile()), 0600u);
}

TEST_F(ExitLogTest, LevelFourAlsoShowsEveryMessageInABox)
{
    SinkLibrary sink;
    setLevel("4");
    StderrCapture err;
    printDocument(sink);
    expectTrace(err.boxes(), traceOfOneDocument());
    expectTrace(logMessages(logFile()), traceOfOneDocument());
}

TEST_F(ExitLogTest, ChangedLevelTakesEffectAtTheNextDocument)
{
    SinkLibrary sink;
    setLevel("0");
    printDocument(sink);
    EXPECT_FALSE(std::filesystem::exists(logFile()));
    setLevel("3");
    EXPECT_EQ(sink.textOutExit("between documents"), 0);
    EXPECT_FALSE(std::filesystem::exists(logFile())) << "not before the next document starts";
    std::filesystem::remove(home.spool() + "/korvafax.tif");  // taken by faxcourier
    printDocument(sink);
    expectTrace(logMessages(logFile()), traceOfOneDocument());
}

TEST_F(ExitLogTest, SettingsAreReadWhenTheLibraryIsLoaded)
{
    setLevel("3");
    SinkLibrary sink;
    EXPECT_EQ(sink.textOutExit("early"), 0);
    EXPECT_EQ(logMessages(logFile()), (std::vector<std::string>{"TEXT RECEIVED: ", "early"}));
}

TEST_F(ExitLogTest, RelativeLogFileIsInTheCurrentFolder)
{
    writeExitLogging(home.sysconf(), "3", "relative.log");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(home.path());
    {
        SinkLibrary sink;
        sink.textOutExit("here");
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(logMessages(home.path() + "/relative.log"), (std::vector<std::string>{"TEXT RECEIVED: ", "here"}));
}

TEST_F(ExitLogTest, LevelTextThatIsNoNumberIsZero)
{
    SinkLibrary sink;
    setLevel("high");
    printDocument(sink);
    EXPECT_FALSE(std::filesystem::exists(logFile()));
    setLevel("3 please");
    printDocument(sink);
    EXPECT_EQ(logMessages(logFile()).size(), 11u);
}

TEST_F(ExitLogTest, LogFileThatCannotBeOpenedLosesEntriesQuietly)
{
    SinkLibrary sink;
    writeExitLogging(home.sysconf(), "3", home.path() + "/no/such/folder/sink.log");
    StderrCapture err;
    printDocument(sink);
    EXPECT_TRUE(err.boxes().empty()) << err.text();
    EXPECT_EQ(readTiffPages(home.spool() + "/korvafax.tif").size(), 1u);
}

}  // namespace

TEST_F(ExitLogTest, FifoAsLogFileIsPassedOverWithoutStallingThePrint)
{
    ASSERT_EQ(mkfifo(logFile().c_str(), 0600), 0);
    setLevel("3");
    SinkLibrary sink;
    EXPECT_TRUE(endsWithoutWaitingOn(logFile(), [&] { printDocument(sink); }));
    EXPECT_FALSE(readTiffPages(home.spool() + "/korvafax.tif").empty());
}
