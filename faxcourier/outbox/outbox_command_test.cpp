#include "faxcourier/outbox/outbox_command.h"

#include "platform/testing/test_support.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

using namespace korva;
using korva::testing::readWholeFile;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace fs = std::filesystem;

namespace {

class OutboxCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(spool);
        const char* tz = std::getenv("TZ");
        savedTz = tz ? tz : "";
        hadTz = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override
    {
        if (hadTz)
            setenv("TZ", savedTz.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    std::string add(const char* subject, std::vector<String> recipients, OutboxState state, int64_t now)
    {
        FaxJob job;
        job.subject = subject;
        job.recipients = std::move(recipients);
        for (uint32_t pages : {2u, 3u}) {
            FaxDocument document;
            document.file = (spool + "/korvafax" + std::to_string(++documents) + ".tif").c_str();
            document.pages = pages;
            writeWholeFile(document.file.Text(), subject);
            job.documents.push_back(document);
        }
        std::string id = outbox.add(job, state, "421 server busy", now).valueOr({});
        EXPECT_FALSE(id.empty());
        return id;
    }

    int run(std::vector<std::string> args, int64_t now = 0)
    {
        out.str({});
        err.str({});
        return runOutboxCommand(args, out, err, outbox, submit, now, journal);
    }

    TempHome home;
    std::string spool = home.spool();
    Outbox outbox{spool};
    SentJournal journal{home.stateHome() + "/KORVAFax/sent.journal"};
    std::ostringstream out, err;
    std::vector<std::string> refuse;  // subjects the fake server refuses
    Submitter submit = [this](FaxJob& job) {
        for (const std::string& subject : refuse)
            if (subject == job.subject.Text())
                return SubmitResult{false, false, "421 still busy"};
        return SubmitResult{true, false, {}};
    };
    int documents = 0;
    std::string savedTz;
    bool hadTz = false;
};

}  // namespace

TEST(OutboxCommandLine, RecognisesItsOptionsFirst)
{
    const std::pair<std::vector<std::string>, bool> table[] = {
        {{"--outbox"}, true}, {{"--outbox-retry"}, true}, {{"--outbox-drop", "x"}, true},    {{}, false},
        {{"--debug"}, false}, {{"--outboxes"}, false},    {{"file.tif", "--outbox"}, false},
    };
    for (const auto& [args, expected] : table)
        EXPECT_EQ(isOutboxCommand(args), expected) << (args.empty() ? "" : args[0]);
}

TEST_F(OutboxCommand, AnEmptyOutboxSaysSo)
{
    EXPECT_EQ(run({"--outbox"}), 0);
    EXPECT_EQ(out.str(), "The outbox is empty.\n");
    EXPECT_EQ(run({"--outbox-retry"}), 0);
    EXPECT_EQ(out.str(), "The outbox is empty.\n");
}

// A run that ended while storing a fax leaves it hidden: the listing still
// tells of it, and of where it goes.
TEST_F(OutboxCommand, AHalfStoredFaxIsReported)
{
    FaxJob job;
    job.subject = "Interrupted";
    FaxDocument document;
    document.file = (spool + "/korvafax1.tif").c_str();
    writeWholeFile(document.file.Text(), "pages");
    job.documents.push_back(document);
    outbox.onAddStep([](const std::string& step) {
        if (step == "doc1.tif")
            throw std::runtime_error("crash");
    });
    EXPECT_THROW((void)outbox.add(job, OutboxState::Waiting, "down", 1000), std::runtime_error);

    EXPECT_EQ(run({"--outbox"}), 0);
    EXPECT_EQ(out.str(),
              "The outbox is empty.\n"
              "1 fax(es) were being stored when a run ended; faxcourier puts them in place at its "
              "next start.\n");
}

TEST_F(OutboxCommand, ListingShowsWhatWaitsAndWhy)
{
    std::string waiting = add("Invoice\r\n12", {"555~Carl~Co", "666~J\xFCrgen~"}, OutboxState::Waiting, 1765137455);
    std::string dialog = add("Draft", {}, OutboxState::NeedsDialog, 1765137400);

    EXPECT_EQ(run({"--outbox"}), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(),
              "2 fax(es) in the outbox, oldest first:\n"
              "\n" +
                  dialog +
                  "  no recipients, offered in the Send Fax dialog\n"
                  "  created     2025-12-07 19:56:40\n"
                  "  attempts    0\n"
                  "  subject     Draft\n"
                  "  recipients  none\n"
                  "  pages       5 in 2 document(s)\n"
                  "  reason      421 server busy\n"
                  "\n" +
                  waiting +
                  "  waiting, next try 2025-12-07 19:58:05\n"
                  "  created     2025-12-07 19:57:35\n"
                  "  attempts    1\n"
                  "  subject     Invoice  12\n"
                  "  recipients  555 Carl (Co), 666 J\xC3\xBCrgen\n"
                  "  pages       5 in 2 document(s)\n"
                  "  reason      421 server busy\n");
}

TEST_F(OutboxCommand, RetrySendsEveryEntryAndSaysWhatWasNotSent)
{
    std::string sent = add("goes", {"1~A~"}, OutboxState::Refused, 1000);
    std::string stuck = add("stuck", {"2~B~"}, OutboxState::Waiting, 2000);
    refuse = {"stuck"};

    EXPECT_EQ(run({"--outbox-retry"}, 2001), 1);
    EXPECT_EQ(out.str(), sent + ": sent\n" + stuck + ": 421 still busy\n");
    ASSERT_EQ(outbox.list().size(), 1u);

    refuse.clear();
    EXPECT_EQ(run({"--outbox-retry"}, 2002), 0);
    EXPECT_EQ(out.str(), stuck + ": sent\n");
    EXPECT_TRUE(outbox.list().empty());

    EXPECT_EQ(run({"--sent"}), 0);
    EXPECT_EQ(out.str(),
              "2 fax(es) sent, newest first:\n"
              "\n"
              "1970-01-01 00:33:22  from the outbox\n"
              "  recipients  B\n"
              "  subject     stuck\n"
              "  pages       5\n"
              "\n"
              "1970-01-01 00:33:21  from the outbox\n"
              "  recipients  A\n"
              "  subject     goes\n"
              "  pages       5\n");
}

// The reader's language on the terminal; the entry on disk keeps English.
TEST_F(OutboxCommand, ListingsReadTheReadersLanguageWhileTheEntryStaysEnglish)
{
    struct Case {
        const char* language;
        const char* retried;
        std::vector<const char*> listed;
    };
    const Case cases[] = {
        {"de",
         ": der Server hat nicht geantwortet\n",
         {"1 Fax(e) im Postausgang, \u00e4lteste zuerst:\n", "  wartet, n\u00e4chster Versuch ",
          "  Betreff     Offer\n", "  Grund       der Server hat nicht geantwortet\n"}},
        {"fr",
         ": le serveur n'a pas r\u00e9pondu\n",
         {"1 fax dans la bo\u00eete d'envoi, le plus ancien en premier\u00a0:\n", "  en attente, prochain essai ",
          "  objet       Offer\n", "  motif       le serveur n'a pas r\u00e9pondu\n"}},
    };
    for (const Case& c : cases) {
        std::string id = add("Offer", {"1~A~"}, OutboxState::Waiting, 1000);
        Submitter silent = [](FaxJob&) { return SubmitResult{false, false, "timed out", "the server did not answer"}; };
        korva::testing::ReaderLanguage reader(c.language);
        out.str({});
        EXPECT_EQ(runOutboxCommand({"--outbox-retry"}, out, err, outbox, silent, 2000, journal), 1);
        EXPECT_EQ(out.str(), id + c.retried);
        EXPECT_EQ(run({"--outbox"}), 0);
        for (const char* line : c.listed)
            EXPECT_NE(out.str().find(line), std::string::npos) << c.language << ": " << line << "\n" << out.str();
        EXPECT_NE(readWholeFile(outbox.folder() + "/" + id + "/job.txt").find("reason=the server did not answer\n"),
                  std::string::npos);
        EXPECT_TRUE(outbox.drop(id));
    }
}

TEST_F(OutboxCommand, RetryLeavesEntriesWithoutRecipientsAndSaysSo)
{
    std::string dialog = add("Draft", {}, OutboxState::NeedsDialog, 1000);
    EXPECT_EQ(run({"--outbox-retry"}, 2000), 1);
    EXPECT_EQ(out.str(), dialog + ": no recipients, waits for the Send Fax dialog\n");
}

TEST_F(OutboxCommand, RetryWhileAnotherProcessSendsIsRefused)
{
    add("goes", {"1~A~"}, OutboxState::Waiting, 1000);
    int fd = open((outbox.folder() + "/.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(run({"--outbox-retry"}, 2000), 1);
    EXPECT_NE(err.str().find("Another KORVA Fax is sending the outbox"), std::string::npos) << err.str();
    close(fd);
    EXPECT_EQ(outbox.list().size(), 1u);
}

TEST_F(OutboxCommand, DropRemovesOneAndRejectsUnknownIds)
{
    std::string kept = add("kept", {"1~A~"}, OutboxState::Waiting, 1000);
    std::string dropped = add("dropped", {"2~B~"}, OutboxState::Refused, 2000);

    EXPECT_EQ(run({"--outbox-drop", dropped}), 0);
    EXPECT_EQ(out.str(), "Removed " + dropped + " from the outbox.\n");
    ASSERT_EQ(outbox.list().size(), 1u);
    EXPECT_EQ(outbox.list()[0].id, kept);

    EXPECT_EQ(run({"--outbox-drop", dropped}), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "There is no fax " + dropped + " in the outbox; --outbox lists them.\n");
    EXPECT_EQ(run({"--outbox-drop", "../outbox"}), 2);
    EXPECT_EQ(outbox.list().size(), 1u);
}

TEST_F(OutboxCommand, WrongArgumentsPrintTheUsage)
{
    const std::vector<std::string> table[] = {{"--outbox-drop"}, {"--outbox", "extra"}, {"--outbox-retry", "now"}, {}};
    for (const auto& args : table) {
        EXPECT_EQ(run(args), 2);
        EXPECT_EQ(err.str(), "Usage: faxcourier --outbox | --outbox-retry | --outbox-drop ID | --sent\n");
    }
}
