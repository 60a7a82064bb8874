#include "faxcourier/outbox/outbox_retry.h"

#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/file.h>
#include <unistd.h>

using namespace korva;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace fs = std::filesystem;

namespace {

// Answers by subject; remembers the subjects it was handed, in order.
class FakeServer {
public:
    std::map<std::string, SubmitResult> answers;  // missing: accepted
    std::vector<std::string> submitted;

    Submitter submitter()
    {
        return [this](FaxJob& job) {
            submitted.emplace_back(job.subject.Text());
            auto answer = answers.find(job.subject.Text());
            return answer == answers.end() ? SubmitResult{true, false, {}} : answer->second;
        };
    }
};

class OutboxRetry : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(spool); }

    std::string add(const char* subject, OutboxState state, int64_t now)
    {
        FaxJob job;
        job.subject = subject;
        job.recipients = {"555~Carl~Co"};
        FaxDocument document;
        document.file = (spool + "/korvafax" + std::to_string(++documents) + ".tif").c_str();
        document.pages = 1;
        writeWholeFile(document.file.Text(), subject);
        job.documents = {document};
        std::string id = outbox.add(job, state, "first try failed", now).valueOr({});
        EXPECT_FALSE(id.empty());
        return id;
    }

    std::vector<std::string> subjectsLeft()
    {
        std::vector<std::string> subjects;
        for (const OutboxEntry& entry : outbox.list())
            subjects.emplace_back(entry.job.subject.Text());
        return subjects;
    }

    TempHome home;
    std::string spool = home.spool();
    Outbox outbox{spool};
    FakeServer server;
    std::vector<std::string> log;
    LogSink logSink = [this](const std::string& message) { log.push_back(message); };
    int documents = 0;
};

}  // namespace

TEST_F(OutboxRetry, ADueRunSendsOnlyWaitingEntriesThatAreDueOldestFirst)
{
    add("due later", OutboxState::Waiting, 1000);  // due at 1030
    add("due", OutboxState::Waiting, 900);         // due at 930
    add("refused", OutboxState::Refused, 800);
    add("no recipients", OutboxState::NeedsDialog, 700);
    add("due too", OutboxState::Waiting, 950);  // due at 980
    std::string sentFile = outbox.list()[2].job.documents[0].file.Text();

    RetryRun run = retryDue(outbox, server.submitter(), 1000, false, logSink);

    EXPECT_FALSE(run.busy);
    EXPECT_EQ(server.submitted, (std::vector<std::string>{"due", "due too"}));
    ASSERT_EQ(run.outcomes.size(), 2u);
    EXPECT_TRUE(run.outcomes[0].sent);
    EXPECT_TRUE(run.outcomes[1].sent);
    EXPECT_FALSE(fs::exists(sentFile));
    EXPECT_EQ(subjectsLeft(), (std::vector<std::string>{"no recipients", "refused", "due later"}));
    EXPECT_FALSE(log.empty());
}

TEST_F(OutboxRetry, APermanentFailureIsRefusedAndWaitsForAnExplicitRetry)
{
    std::string id = add("bad recipient", OutboxState::Waiting, 1000);
    server.answers["bad recipient"] = {false, true, "550 no such number",
                                       "the fax address was refused: no such number"};

    RetryRun first = retryDue(outbox, server.submitter(), 1030, false, logSink);
    ASSERT_EQ(first.outcomes.size(), 1u);
    EXPECT_FALSE(first.outcomes[0].sent);
    // The entry keeps the words; the log keeps the server's reply.
    EXPECT_EQ(first.outcomes[0].reason, "the fax address was refused: no such number");
    EXPECT_EQ(first.outcomes[0].was, OutboxState::Waiting);
    EXPECT_EQ(first.outcomes[0].state, OutboxState::Refused);
    EXPECT_EQ(first.outcomes[0].job.subject.Text(), std::string("bad recipient"));
    OutboxEntry entry;
    ASSERT_TRUE(outbox.load(id, entry));
    EXPECT_EQ(entry.state, OutboxState::Refused);
    EXPECT_EQ(entry.reason, "the fax address was refused: no such number");
    EXPECT_EQ(entry.attempts, 2);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "Outbox: " + id + " refused, kept until retried by hand: 550 no such number");

    RetryRun due = retryDue(outbox, server.submitter(), 1000000, false, logSink);
    EXPECT_TRUE(due.outcomes.empty());
    EXPECT_EQ(server.submitted.size(), 1u);

    server.answers.clear();
    RetryRun asked = retryDue(outbox, server.submitter(), 1000000, true, logSink);
    ASSERT_EQ(asked.outcomes.size(), 1u);
    EXPECT_TRUE(asked.outcomes[0].sent);
    EXPECT_TRUE(outbox.list().empty());
}

TEST_F(OutboxRetry, ATransientFailureBacksOff)
{
    std::string id = add("busy server", OutboxState::Waiting, 1000);
    server.answers["busy server"] = {false, false, "421 try later"};

    RetryRun run = retryDue(outbox, server.submitter(), 1030, false, logSink);
    ASSERT_EQ(run.outcomes.size(), 1u);
    OutboxEntry entry;
    ASSERT_TRUE(outbox.load(id, entry));
    EXPECT_EQ(entry.state, OutboxState::Waiting);
    EXPECT_EQ(entry.attempts, 2);
    EXPECT_EQ(entry.nextTry, 1090);
    EXPECT_EQ(entry.reason, "421 try later");
    EXPECT_TRUE(retryDue(outbox, server.submitter(), 1089, false, logSink).outcomes.empty());
}

TEST_F(OutboxRetry, AnExplicitRunLeavesEntriesWithoutRecipientsAlone)
{
    add("no recipients", OutboxState::NeedsDialog, 700);
    RetryRun run = retryDue(outbox, server.submitter(), 1000, true, logSink);
    EXPECT_TRUE(run.outcomes.empty());
    EXPECT_TRUE(server.submitted.empty());
    EXPECT_EQ(subjectsLeft(), (std::vector<std::string>{"no recipients"}));
}

TEST_F(OutboxRetry, AMissingDocumentIsRefusedWithoutSubmitting)
{
    std::string id = add("deleted by hand", OutboxState::Waiting, 1000);
    OutboxEntry entry;
    ASSERT_TRUE(outbox.load(id, entry));
    fs::remove(entry.job.documents[0].file.Text());

    RetryRun run = retryDue(outbox, server.submitter(), 2000, false, logSink);
    EXPECT_TRUE(server.submitted.empty());
    ASSERT_EQ(run.outcomes.size(), 1u);
    EXPECT_EQ(run.outcomes[0].reason, "a document of the fax is missing");
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("doc1.tif"), std::string::npos) << log.back();
    ASSERT_TRUE(outbox.load(id, entry));
    EXPECT_EQ(entry.state, OutboxState::Refused);
}

TEST_F(OutboxRetry, AnotherProcessHoldingTheLockMakesTheRunBusy)
{
    add("waiting", OutboxState::Waiting, 1000);
    int fd = open((outbox.folder() + "/.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);

    RetryRun run = retryDue(outbox, server.submitter(), 5000, true, logSink);
    EXPECT_TRUE(run.busy);
    EXPECT_TRUE(run.outcomes.empty());
    EXPECT_TRUE(server.submitted.empty());

    close(fd);
    RetryRun after = retryDue(outbox, server.submitter(), 5000, true, logSink);
    EXPECT_FALSE(after.busy);
    EXPECT_EQ(server.submitted, (std::vector<std::string>{"waiting"}));
}

TEST_F(OutboxRetry, OneEntryIsSentAtOnceWhateverItsStateButTheDialogs)
{
    add("later", OutboxState::Waiting, 1000);
    std::string refused = add("refused", OutboxState::Refused, 1000);
    std::string dialog = add("dialog", OutboxState::NeedsDialog, 1000);

    EXPECT_TRUE(retryEntry(outbox, server.submitter(), dialog, 1001).outcomes.empty());
    RetryRun run = retryEntry(outbox, server.submitter(), refused, 1001);

    ASSERT_EQ(run.outcomes.size(), 1u);
    EXPECT_TRUE(run.outcomes[0].sent);
    EXPECT_EQ(run.outcomes[0].job.subject, "refused");
    EXPECT_EQ(server.submitted, (std::vector<std::string>{"refused"}));
    EXPECT_EQ(subjectsLeft(), (std::vector<std::string>{"later", "dialog"}));
}

TEST_F(OutboxRetry, AnEntryHeldForTheDialogIsNotRetriedUntilPutBack)
{
    std::string id = add("held", OutboxState::Refused, 1000);
    OutboxEntry before;
    ASSERT_EQ(holdForDialog(outbox, id, before), HoldResult::Held);
    EXPECT_EQ(before.state, OutboxState::Refused);

    EXPECT_TRUE(retryDue(outbox, server.submitter(), 5000, true).outcomes.empty());
    ASSERT_TRUE(outbox.update(before));
    EXPECT_EQ(retryDue(outbox, server.submitter(), 5000, true).outcomes.size(), 1u);
    OutboxEntry gone;
    EXPECT_EQ(holdForDialog(outbox, id, gone), HoldResult::Gone);
}
