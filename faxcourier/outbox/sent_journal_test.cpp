#include "faxcourier/outbox/sent_journal.h"

#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace korva;
using korva::testing::TempHome;

namespace {

class SentJournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override
    {
        unsetenv("TZ");
        tzset();
    }

    static SentRecord record(int64_t when, const std::string& subject)
    {
        return SentRecord{when, SentHow::ByHand, 3, subject, {"Anna"}};
    }

    TempHome home;
    SentJournal journal{SentJournal::defaultPath()};
};

TEST_F(SentJournalTest, RecordNamesEachRecipientByNameOrNumber)
{
    FaxJob job;
    job.subject = "Offer\r\n17";
    job.recipients = {"0301 555~J\xFCrgen~Blau KG", "0402 666~~", "0503 777"};
    job.documents = {FaxDocument{"a", "/x/a.tif", 2}, FaxDocument{"b", "/x/b.tif", 3}};
    SentRecord made = sentRecordOf(job, SentHow::AtOnce, 42);
    EXPECT_EQ(made.recipients, (std::vector<std::string>{"J\xC3\xBCrgen", "0402 666", "0503 777"}));
    EXPECT_EQ(made.subject, "Offer  17");
    EXPECT_EQ(made.pages, 5u);
}

TEST_F(SentJournalTest, WhatIsAppendedIsReadBackAndPrintedNewestFirst)
{
    EXPECT_EQ(journal.read().size(), 0u);
    std::ostringstream empty;
    printSentJournal(empty, journal.read());
    EXPECT_EQ(empty.str(), "No fax has been sent yet.\n");

    ASSERT_TRUE(journal.append(SentRecord{1765137455, SentHow::AtOnce, 1, "100% = done\tnow", {"Anna", "+49 30 1"}}));
    ASSERT_TRUE(journal.append(SentRecord{1765137500, SentHow::FromOutbox, 12, "", {"Berta"}}));
    ASSERT_TRUE(journal.append(SentRecord{1765137600, SentHow::ByHand, 2, "Offer", {"\xC3\x86r\xC3\xB8"}}));

    struct stat folder {};
    ASSERT_EQ(stat((home.stateHome() + "/KORVAFax").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    std::vector<SentRecord> read = journal.read();
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].subject, "100% = done\tnow");
    EXPECT_EQ(read[0].recipients, (std::vector<std::string>{"Anna", "+49 30 1"}));
    std::ostringstream out;
    printSentJournal(out, read);
    EXPECT_EQ(out.str(),
              "3 fax(es) sent, newest first:\n"
              "\n"
              "2025-12-07 20:00:00  by hand\n"
              "  recipients  \xC3\x86r\xC3\xB8\n"
              "  subject     Offer\n"
              "  pages       2\n"
              "\n"
              "2025-12-07 19:58:20  from the outbox\n"
              "  recipients  Berta\n"
              "  subject     \n"
              "  pages       12\n"
              "\n"
              "2025-12-07 19:57:35  at once\n"
              "  recipients  Anna, +49 30 1\n"
              "  subject     100% = done\tnow\n"
              "  pages       1\n");
}

TEST_F(SentJournalTest, LineCutShortByACrashIsSkipped)
{
    ASSERT_TRUE(journal.append(record(1, "first")));
    {
        std::ofstream file(journal.path(), std::ios::app | std::ios::binary);
        file << "2\tby-hand\t3\tcut sho";
    }
    EXPECT_EQ(journal.read().size(), 1u);
    ASSERT_TRUE(journal.append(record(3, "third")));
    std::vector<SentRecord> read = journal.read();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].subject, "first");
    EXPECT_EQ(read[1].subject, "third");
}

TEST_F(SentJournalTest, KeepsTheNewestThousand)
{
    for (int64_t i = 1; i <= 1200; ++i)
        ASSERT_TRUE(journal.append(record(i, "fax " + std::to_string(i))));
    std::vector<SentRecord> read = journal.read();
    ASSERT_EQ(read.size(), kSentJournalLimit);
    EXPECT_EQ(read.front().when, 201);
    EXPECT_EQ(read.back().when, 1200);
    std::ifstream file(journal.path());
    size_t lines = 0;
    for (std::string line; std::getline(file, line);)
        ++lines;
    EXPECT_LE(lines, kSentJournalLimit + kSentJournalLimit / 10);
}

}  // namespace
