// The job life cycle and the hand-over of the finished document, through
// the built library.
#include "bandsink64/testing/sink_test_support.h"
#include "platform/testing/tiff_pages.h"
#include "controlarea/control_record.h"
#include "platform/testing/test_support.h"
#include "platform/user_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <regex>

using namespace korva;
using namespace korva::testing;

namespace {

class ExitEntryTest : public ::testing::Test {
protected:
    std::string watchFile() const { return home.spool() + "/korvafax.tif"; }
    std::string controlFile() const { return home.spool() + "/control.dat"; }
    std::string logFile() const { return home.path() + "/sink.log"; }

    // One monochrome page of `rows` rows in one band.
    void printDocument(const char* name, int32_t rows = 30)
    {
        void* job = nullptr;
        ASSERT_EQ(sink.startDocExit(11, name, &job), 0);
        ASSERT_NE(job, nullptr);
        ASSERT_EQ(sink.startPageExit(&job), 0);
        DriverMonoBand b = patternedMonoBand(1728, rows, 4);
        ASSERT_EQ(sink.endPageExit(b.bits.data(), rows, 1728, 1, 200, 200, 0, &job), 0);
        ASSERT_EQ(sink.endDocExit(&job), 0);
        EXPECT_EQ(job, nullptr);
    }

    ControlRecord readRecord() const
    {
        ControlRecord record{};
        std::string bytes = readWholeFile(controlFile());
        std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
        return record;
    }

    void writeRecord(const ControlRecord& record)
    {
        std::filesystem::create_directories(home.spool());
        writeWholeFile(controlFile(), std::string(reinterpret_cast<const char*>(&record), sizeof record));
    }

    std::vector<std::string> perJobFiles() const { return korva::testing::perJobFiles(home.spool()); }

    TempHome home;
    SinkLibrary sink;
};

TEST_F(ExitEntryTest, FinishedDocumentBecomesTheWatchFileAndIsRecordedInTheControlArea)
{
    printDocument("Quarterly report.pdf");
    EXPECT_EQ(readTiffPages(watchFile()).size(), 1u);
    EXPECT_TRUE(perJobFiles().empty());
    ControlRecord record = readRecord();
    EXPECT_EQ(fieldText(record.userName), currentUserName());
    EXPECT_EQ(fieldText(record.documentName), "Quarterly report.pdf");
}

TEST_F(ExitEntryTest, HandOverKeepsThePresetFields)
{
    ControlRecord preset{};
    setField(preset.userName, "someone-else");
    setField(preset.documentName, "an earlier document with a longer name than the next");
    setField(preset.subject, "Preset subject");
    setField(preset.coverPage, "Cover A");
    setField(preset.senderName, "Sender");
    setField(preset.recipients[0], "555-0100~Ann~Acme");
    setField(preset.recipients[3], "555-0199~Bob~Bolt");
    writeRecord(preset);

    printDocument("letter");
    ControlRecord record = readRecord();
    EXPECT_EQ(fieldText(record.userName), currentUserName());
    EXPECT_EQ(fieldText(record.documentName), "letter");
    EXPECT_EQ(fieldText(record.subject), "Preset subject");
    EXPECT_EQ(fieldText(record.coverPage), "Cover A");
    EXPECT_EQ(fieldText(record.senderName), "Sender");
    EXPECT_EQ(fieldText(record.recipients[0]), "555-0100~Ann~Acme");
    EXPECT_EQ(fieldText(record.recipients[3]), "555-0199~Bob~Bolt");
    EXPECT_EQ(std::memcmp(record.subject, preset.subject, sizeof preset.subject), 0);
}

TEST_F(ExitEntryTest, WaitingWatchFileStaysWhileTheNextDocumentIsPrinted)
{
    std::filesystem::create_directories(home.spool());
    writeWholeFile(watchFile(), "not yet taken");
    void* job = nullptr;
    ASSERT_EQ(sink.startDocExit(1, "next", &job), 0);
    EXPECT_EQ(readWholeFile(watchFile()), "not yet taken");
    ASSERT_EQ(sink.endDocExit(&job), 0);
    EXPECT_EQ(readWholeFile(watchFile()), "not yet taken");
}

TEST_F(ExitEntryTest, DocumentWithoutPagesHandsNothingOver)
{
    writeExitLogging(home.sysconf(), "1", logFile());
    ControlRecord preset{};
    setField(preset.subject, "keep me");
    writeRecord(preset);
    const std::string before = readWholeFile(controlFile());

    void* job = nullptr;
    ASSERT_EQ(sink.startDocExit(5, "empty", &job), 0);
    ASSERT_EQ(sink.endDocExit(&job), 0);

    EXPECT_FALSE(std::filesystem::exists(watchFile()));
    EXPECT_TRUE(logMessages(logFile()).empty());
    EXPECT_EQ(readWholeFile(controlFile()), before) << "control record untouched";
}

TEST_F(ExitEntryTest, PerJobFileIsNamedForUserTickProcessAndJobAndPrivate)
{
    void* job = nullptr;
    ASSERT_EQ(sink.startDocExit(5, "private", &job), 0);
    ASSERT_EQ(sink.startPageExit(&job), 0);
    DriverMonoBand b = patternedMonoBand(1728, 20, 1);
    ASSERT_EQ(sink.endPageExit(b.bits.data(), 20, 1728, 1, 200, 200, 1, &job), 0);
    auto files = perJobFiles();
    ASSERT_EQ(files.size(), 1u);
    std::string name = std::filesystem::path(files[0]).filename().string();
    EXPECT_TRUE(
        std::regex_match(name, std::regex("korvafax_" + currentUserName() + "_[0-9a-f]{8}_[0-9]+_[0-9]+\\.tif")))
        << name;
    EXPECT_EQ(fileMode(files[0]), 0600u);
    ASSERT_EQ(sink.endPageExit(b.bits.data(), 20, 1728, 1, 200, 200, 0, &job), 0);
    ASSERT_EQ(sink.endDocExit(&job), 0);
    EXPECT_EQ(fileMode(watchFile()), 0600u);
    EXPECT_EQ(fileMode(home.spool()), 0700u);
}

TEST_F(ExitEntryTest, DocumentNamesWithPercentSignsAreTakenLiterally)
{
    writeExitLogging(home.sysconf(), "3", logFile());
    const char* name = "100% sure %s%s%n%x %d.pdf";
    printDocument(name);
    EXPECT_EQ(fieldText(readRecord().documentName), name);
    auto messages = logMessages(logFile());
    EXPECT_NE(std::find(messages.begin(), messages.end(), std::string("Save doc name ") + name + " to control data"),
              messages.end());
    EXPECT_EQ(messages.at(0), std::string("startDocExit - jobID: 11, pszDocName: ") + name);
}

TEST_F(ExitEntryTest, LongDocumentNameIsCutInTheRecordAndTheLog)
{
    writeExitLogging(home.sysconf(), "3", logFile());
    std::string name(2000, 'n');
    name += "%s";
    printDocument(name.c_str());
    EXPECT_EQ(fieldText(readRecord().documentName), std::string(99, 'n'));
    auto messages = logMessages(logFile());
    std::string expected = "startDocExit - jobID: 11, pszDocName: " + name;
    expected.resize(511);
    EXPECT_EQ(messages.at(0), expected);
    for (auto& m : messages)
        EXPECT_LE(m.size(), 511u);
}

TEST_F(ExitEntryTest, NullDocumentNameIsAnEmptyName)
{
    printDocument(nullptr);
    EXPECT_EQ(fieldText(readRecord().documentName), "");
    EXPECT_EQ(fieldText(readRecord().userName), currentUserName());
}

TEST_F(ExitEntryTest, TextIsLoggedAsTwoEntries)
{
    writeExitLogging(home.sysconf(), "3", logFile());
    void* job = nullptr;
    ASSERT_EQ(sink.startDocExit(1, "t", &job), 0);
    EXPECT_EQ(sink.textOutExit("Dear %s, 50% off"), 0);
    EXPECT_EQ(sink.textOutExit(nullptr), 0);
    ASSERT_EQ(sink.endDocExit(&job), 0);
    auto messages = logMessages(logFile());
    auto at = std::find(messages.begin(), messages.end(), "TEXT RECEIVED: ");
    ASSERT_NE(at, messages.end());
    ASSERT_NE(at + 1, messages.end());
    EXPECT_EQ(at[1], "Dear %s, 50% off");
}

TEST_F(ExitEntryTest, VersionIsThreeBeforeBetweenAndAfterJobs)
{
    EXPECT_EQ(sink.getVersion(), 3);
    void* job = nullptr;
    ASSERT_EQ(sink.startDocExit(1, "v", &job), 0);
    EXPECT_EQ(sink.getVersion(), 3);
    ASSERT_EQ(sink.endDocExit(&job), 0);
    EXPECT_EQ(sink.getVersion(), 3);
}

}  // namespace
