#include "faxcourier/outbox/outbox.h"

#include "faxcourier/outbox/job_text.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace korva;
using korva::testing::fileMode;
using korva::testing::readWholeFile;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace fs = std::filesystem;

namespace {

class OutboxStore : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(spool); }

    // A converted document in the spool folder, as the pipeline leaves it.
    FaxDocument document(int number, const char* name, uint32_t pages)
    {
        FaxDocument d;
        d.name = name;
        d.file = (spool + "/korvafax" + std::to_string(number) + ".tif").c_str();
        d.pages = pages;
        writeWholeFile(d.file.Text(), "pages of " + std::string(name));
        return d;
    }

    FaxJob job(const char* subject, int firstDocument = 1)
    {
        FaxJob j;
        j.subject = subject;
        j.recipients = {"555~Carl~Co"};
        j.documents = {document(firstDocument, "letter", 2)};
        return j;
    }

    std::vector<std::string> folderNames()
    {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(outbox.folder()))
            names.push_back(item.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempHome home;
    std::string spool = home.spool();
    Outbox outbox{spool};
};

std::vector<std::string> texts(const std::vector<String>& strings)
{
    std::vector<std::string> out;
    for (const String& s : strings)
        out.emplace_back(s.Text());
    return out;
}

}  // namespace

TEST(JobText, ValuesRoundTrip)
{
    struct Case {
        std::string value;
        std::string escaped;
    };
    const Case cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"a=b", "a%3Db"},
        {"line\r\nnext", "line%0D%0Anext"},
        {"100%", "100%25"},
        {"tab\there", "tab%09here"},
        {"caf\xE9 \xFC~", "caf\xE9 \xFC~"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(escapeJobValue(c.value), c.escaped) << c.value;
        std::string back;
        EXPECT_TRUE(unescapeJobValue(c.escaped, back)) << c.escaped;
        EXPECT_EQ(back, c.value);
    }
}

TEST(JobText, BrokenEscapesAreRejected)
{
    for (const char* text : {"%", "%4", "50%", "%zz", "%4g"}) {
        std::string value;
        EXPECT_FALSE(unescapeJobValue(text, value)) << text;
    }
}

TEST(JobText, ATextWithoutStateOrWithAPathIsNoJob)
{
    const char* texts[] = {
        "created=1\n",
        "state=waiting\n",
        "state=sleeping\ncreated=1\n",
        "state=waiting\ncreated=1\ndocument.file=../../etc/passwd\n",
        "state=waiting\ncreated=1\ndocument.pages=2\n",
        "state=waiting\ncreated=1\nattempts=many\n",
        "state=waiting\ncreated=1\nno equals sign\n",
    };
    for (const char* text : texts) {
        OutboxEntry entry;
        EXPECT_FALSE(parseJobText(text, "/x", entry)) << text;
    }
    OutboxEntry entry;
    EXPECT_TRUE(parseJobText("state=refused\ncreated=7\nlater=ignored\n", "/x", entry));
    EXPECT_EQ(entry.state, OutboxState::Refused);
    EXPECT_EQ(entry.created, 7);
}

TEST_F(OutboxStore, AJobWithAwkwardTextRoundTripsAndItsDocumentsMoveIn)
{
    FaxJob j;
    j.subject = "Invoice\r\nsecond line";
    j.comments = "a=b=c 100% \xE9t\xE9\n";
    j.coverPage = "";
    j.recipients = {"555~Carl~Co=op", "666~J\xFCrgen~", "777~~"};
    j.documents = {document(1, "letter=1\n", 2), document(2, "", 5)};
    std::string firstFile = j.documents[0].file.Text();

    std::string id = outbox.add(j, OutboxState::Waiting, "server said:\r\n421 busy", 1000).valueOr({});
    ASSERT_FALSE(id.empty());

    EXPECT_FALSE(fs::exists(firstFile));
    std::string entryFolder = outbox.folder() + "/" + id;
    EXPECT_EQ(std::string(j.documents[0].file.Text()), entryFolder + "/doc1.tif");
    EXPECT_EQ(std::string(j.documents[1].file.Text()), entryFolder + "/doc2.tif");
    EXPECT_EQ(readWholeFile(entryFolder + "/doc1.tif"), "pages of letter=1\n");
    EXPECT_EQ(fileMode(outbox.folder()), 0700u);
    EXPECT_EQ(fileMode(entryFolder), 0700u);
    EXPECT_EQ(fileMode(entryFolder + "/doc2.tif"), 0600u);
    EXPECT_EQ(fileMode(entryFolder + "/job.txt"), 0600u);

    OutboxEntry entry;
    ASSERT_TRUE(outbox.load(id, entry));
    EXPECT_EQ(entry.id, id);
    EXPECT_STREQ(entry.job.subject.Text(), "Invoice\r\nsecond line");
    EXPECT_STREQ(entry.job.comments.Text(), "a=b=c 100% \xE9t\xE9\n");
    EXPECT_STREQ(entry.job.coverPage.Text(), "");
    EXPECT_EQ(texts(entry.job.recipients), texts(j.recipients));
    ASSERT_EQ(entry.job.documents.size(), 2u);
    EXPECT_STREQ(entry.job.documents[0].name.Text(), "letter=1\n");
    EXPECT_STREQ(entry.job.documents[0].file.Text(), j.documents[0].file.Text());
    EXPECT_EQ(entry.job.documents[0].pages, 2u);
    EXPECT_STREQ(entry.job.documents[1].name.Text(), "");
    EXPECT_EQ(entry.job.documents[1].pages, 5u);
    EXPECT_EQ(entry.state, OutboxState::Waiting);
    EXPECT_EQ(entry.reason, "server said: 421 busy");
    EXPECT_EQ(entry.attempts, 1);
    EXPECT_EQ(entry.nextTry, 1030);
    EXPECT_EQ(entry.created, 1000);
}

TEST_F(OutboxStore, DropRemovesTheEntryWithItsDocuments)
{
    FaxJob j = job("one");
    std::string id = outbox.add(j, OutboxState::Waiting, "down", 1000).valueOr({});
    ASSERT_FALSE(id.empty());
    std::string file = j.documents[0].file.Text();
    ASSERT_TRUE(fs::exists(file));

    EXPECT_TRUE(outbox.drop(id));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(folderNames().empty());
    EXPECT_TRUE(outbox.list().empty());
    EXPECT_FALSE(outbox.drop(id));
}

TEST_F(OutboxStore, IdsThatLeaveTheFolderAreRefused)
{
    fs::create_directories(outbox.folder() + "/inner");
    writeWholeFile(spool + "/job.txt", "state=waiting\ncreated=1\n");
    OutboxEntry entry;
    for (const char* id : {"", "..", ".", "../outbox", "a/b", ".lock"}) {
        EXPECT_FALSE(outbox.load(id, entry)) << id;
        EXPECT_FALSE(outbox.drop(id)) << id;
    }
    EXPECT_TRUE(fs::exists(spool + "/job.txt"));
}

TEST_F(OutboxStore, ListsOldestFirstAndIgnoresHalfBuiltEntries)
{
    FaxJob later = job("later", 1), first = job("first", 2), second = job("second", 3);
    ASSERT_TRUE(outbox.add(later, OutboxState::Waiting, "", 2000000000));
    ASSERT_TRUE(outbox.add(first, OutboxState::Refused, "", 1000));
    ASSERT_TRUE(outbox.add(second, OutboxState::NeedsDialog, "", 1000));
    // What a crash leaves: a temporary folder, and a folder without job.txt.
    fs::create_directories(outbox.folder() + "/.19700101-000001-1-0001.tmp");
    writeWholeFile(outbox.folder() + "/.19700101-000001-1-0001.tmp/job.txt", "state=waiting\ncreated=1\n");
    fs::create_directories(outbox.folder() + "/19700101-000002-1-0001");

    std::vector<std::string> subjects;
    for (const OutboxEntry& entry : outbox.list())
        subjects.emplace_back(entry.job.subject.Text());
    EXPECT_EQ(subjects, (std::vector<std::string>{"first", "second", "later"}));
}

TEST_F(OutboxStore, AFailedAddLeavesTheJobsFilesWhereTheyWere)
{
    FaxJob j = job("lost");
    j.documents.push_back(document(2, "second", 1));
    fs::remove(j.documents[1].file.Text());  // the second one vanished
    std::string firstFile = j.documents[0].file.Text();

    Result<std::string> added = outbox.add(j, OutboxState::Waiting, "down", 1000);
    EXPECT_FALSE(added);
    EXPECT_EQ(added.code(), ENOENT);
    EXPECT_STREQ(j.documents[0].file.Text(), firstFile.c_str());
    EXPECT_EQ(readWholeFile(firstFile), "pages of letter");
    EXPECT_TRUE(folderNames().empty());
}

TEST_F(OutboxStore, ADocumentThatCannotGoBackAfterAFailedAddIsKept)
{
    // The documents come from a folder that is gone by the time they would
    // go back.
    std::string from = home.path() + "/printed", away = home.path() + "/printed-gone";
    fs::create_directories(from);
    FaxJob j = job("kept");
    j.documents.push_back(document(2, "second", 1));
    fs::rename(j.documents[0].file.Text(), from + "/first.tif");
    j.documents[0].file = (from + "/first.tif").c_str();
    fs::remove(j.documents[1].file.Text());
    outbox.onAddStep([&](const std::string& step) {
        if (step == "doc1.tif")
            fs::rename(from, away);
    });

    Result<std::string> added = outbox.add(j, OutboxState::Waiting, "down", 1000);
    EXPECT_FALSE(added);
    EXPECT_EQ(added.code(), ENOENT);
    EXPECT_EQ(readWholeFile(j.documents[0].file.Text()), "pages of letter");
}

TEST_F(OutboxStore, ACrashWhileAddingLeavesTheDocumentsWhereTheyWereOrAnEntryTheStartPutsInPlace)
{
    for (const char* step : {"job.txt", "doc1.tif", "doc2.tif", "entry"}) {
        SCOPED_TRACE(step);
        fs::remove_all(outbox.folder());
        FaxJob j = job("crash");
        j.documents.push_back(document(2, "second", 1));
        const std::vector<FaxDocument> printed = j.documents;
        outbox.onAddStep([&](const std::string& at) {
            if (at == step)
                throw std::runtime_error("crash");
        });
        EXPECT_THROW((void)outbox.add(j, OutboxState::Waiting, "down", 1000), std::runtime_error);
        outbox.onAddStep({});

        // The running program's start, with this process's pid in the names.
        outbox.recoverInterrupted(Outbox::Recovery::Every);
        std::vector<OutboxEntry> entries = outbox.list();
        size_t inEntry = 0;
        for (const FaxDocument& document : printed) {
            std::string content = "pages of " + std::string(document.name.Text());
            bool found = fs::exists(document.file.Text()) && readWholeFile(document.file.Text()) == content;
            for (const OutboxEntry& entry : entries)
                for (const FaxDocument& kept : entry.job.documents)
                    if (fs::exists(kept.file.Text()) && readWholeFile(kept.file.Text()) == content) {
                        found = true;
                        ++inEntry;
                    }
            EXPECT_TRUE(found) << document.name.Text();
        }
        if (inEntry > 0) {
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_EQ(entries[0].state, OutboxState::Waiting);
        }
    }
}

TEST(RetryDelay, DoublesFromThirtySecondsToFifteenMinutes)
{
    const std::pair<int, int> table[] = {{0, 0},   {1, 30},  {2, 60},  {3, 120},  {4, 240},
                                         {5, 480}, {6, 900}, {7, 900}, {100, 900}};
    for (auto [attempts, seconds] : table)
        EXPECT_EQ(retryDelay(attempts).count(), seconds) << attempts;
}

TEST_F(OutboxStore, FailuresBackOffOrRefuse)
{
    FaxJob j = job("one");
    std::string id = outbox.add(j, OutboxState::Waiting, "down", 1000).valueOr({});
    ASSERT_FALSE(id.empty());

    struct Step {
        bool permanent;
        int64_t now;
        OutboxState state;
        int attempts;
        int64_t nextTry;
    };
    const Step steps[] = {
        {false, 1030, OutboxState::Waiting, 2, 1090},
        {false, 1090, OutboxState::Waiting, 3, 1210},
        {true, 1210, OutboxState::Refused, 4, 0},
        {false, 5000, OutboxState::Waiting, 5, 5480},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(outbox.recordFailure(id, step.permanent, "why\nnot", step.now));
        OutboxEntry entry;
        ASSERT_TRUE(outbox.load(id, entry));
        EXPECT_EQ(entry.state, step.state) << step.now;
        EXPECT_EQ(entry.attempts, step.attempts) << step.now;
        EXPECT_EQ(entry.nextTry, step.nextTry) << step.now;
        EXPECT_EQ(entry.reason, "why not");
    }
    EXPECT_FALSE(outbox.recordFailure("19700101-000000-1-0001", false, "", 1));
}

TEST_F(OutboxStore, NextDueIsTheEarliestWaitingEntry)
{
    EXPECT_EQ(outbox.nextDue(), std::nullopt);
    FaxJob refused = job("refused", 1), dialog = job("dialog", 2), late = job("late", 3), early = job("early", 4);
    ASSERT_TRUE(outbox.add(refused, OutboxState::Refused, "auth", 100));
    ASSERT_TRUE(outbox.add(dialog, OutboxState::NeedsDialog, "", 100));
    EXPECT_EQ(outbox.nextDue(), std::nullopt);
    ASSERT_TRUE(outbox.add(late, OutboxState::Waiting, "", 500));
    ASSERT_TRUE(outbox.add(early, OutboxState::Waiting, "", 400));
    EXPECT_EQ(outbox.nextDue(), 430);

    std::vector<OutboxEntry> entries = outbox.list();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1].state, OutboxState::NeedsDialog);
    EXPECT_EQ(entries[1].attempts, 0);
    EXPECT_EQ(entries[1].nextTry, 0);
    EXPECT_EQ(entries[0].attempts, 1);
}

TEST_F(OutboxStore, WhatAnEndedProcessLeftIsPutInPlaceOrRemoved)
{
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    auto hidden = [&](const char* stamp, pid_t pid, const char* suffix) {
        std::string path = outbox.folder() + "/." + stamp + "-" + std::to_string(pid) + "-0001" + suffix;
        fs::create_directories(path);
        return path;
    };
    std::string finished = hidden("19700101-000001", child, ".tmp");
    writeWholeFile(finished + "/doc1.tif", "pages");
    writeWholeFile(finished + "/job.txt", "state=waiting\ncreated=1\nsubject=finished\ndocument.file=doc1.tif\n");
    std::string halfMoved = hidden("19700101-000002", child, ".tmp");
    writeWholeFile(halfMoved + "/doc1.tif", "pages");
    std::string ours = hidden("19700101-000003", getpid(), ".tmp");
    writeWholeFile(ours + "/job.txt", "state=waiting\ncreated=1\n");
    std::string dropping = hidden("19700101-000004", child, ".drop");
    writeWholeFile(dropping + "/doc1.tif", "pages");

    EXPECT_EQ(outbox.recoverInterrupted(), 1);

    std::vector<OutboxEntry> entries = outbox.list();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_STREQ(entries[0].job.subject.Text(), "finished");
    EXPECT_EQ(readWholeFile(entries[0].job.documents[0].file.Text()), "pages");
    EXPECT_TRUE(fs::exists(halfMoved + "/doc1.tif"));
    EXPECT_TRUE(fs::exists(ours));
    EXPECT_FALSE(fs::exists(dropping));
}
