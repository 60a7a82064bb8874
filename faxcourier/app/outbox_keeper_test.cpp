// The outbox in the running program: what an unsent job becomes, and a
// retry timer that runs only while a fax waits to be retried.

#include "faxcourier/app/outbox_keeper.h"

#include "faxcourier/widgets/testing/scripted_ui.h"
#include "platform/file_ops.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace korva;
using namespace korva::app;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace {

// A job that was not sent, with one converted document in the spool folder.
FaxJob unsentJob(const std::string& spool, bool withRecipient)
{
    FaxJob job;
    job.subject = "Quarterly";
    if (withRecipient)
        job.recipients.emplace_back("0301~Anna~Acme");
    std::filesystem::create_directories(spool);
    const std::string file = spool + "/korvafax1.tif";
    writeWholeFile(file, "fax pages");
    FaxDocument document;
    document.file = file.c_str();
    document.pages = 1;
    job.documents.push_back(document);
    return job;
}

}  // namespace

TEST(OutboxKeeper, TimerRunsOnlyWhileAFaxWaitsToBeRetried)
{
    struct Case {
        const char* name;
        bool withRecipient;
        SubmitFailure failure;
        bool forDialog;
        const char* state;
        bool timer;
    };
    const Case cases[] = {
        {"server unreachable", true, SubmitFailure::Transient, false, "waiting", true},
        {"logon refused", true, SubmitFailure::Permanent, false, "refused", false},
        {"no recipients", false, SubmitFailure::None, false, "needs-dialog", false},
        {"the dialog had it when the program ended", true, SubmitFailure::Transient, true, "needs-dialog", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        korva::app::testing::testApplication();
        TempHome home;
        OutboxKeeper outbox(home.spool(), [](FaxJob&) { return SubmitResult{}; });
        EXPECT_FALSE(outbox.timerRunning()) << "an empty outbox runs no timer";
        std::vector<size_t> counts;
        outbox.onCountChanged([&](size_t waiting) { counts.push_back(waiting); });
        FaxJob job = unsentJob(home.spool(), c.withRecipient);
        const std::string original = job.documents[0].file.Text();
        ASSERT_TRUE(outbox.keep(job, SubmitReport{c.failure, "why"}, c.forDialog));
        EXPECT_EQ(counts, (std::vector<size_t>{0, 1})) << "the status icon's count follows";
        EXPECT_FALSE(fileExists(original)) << "the document moved into the outbox";
        std::vector<OutboxEntry> entries = Outbox(home.spool()).list();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_STREQ(outboxStateName(entries[0].state), c.state);
        EXPECT_EQ(outbox.timerRunning(), c.timer);
    }
}

// A job kept for want of recipients is offered in the dialog with what it
// had; sent or cancelled it leaves the outbox, and it stays when the
// program ends meanwhile.
TEST(OutboxKeeper, JobsKeptForTheDialogAreOfferedOnceWithTheirDocuments)
{
    struct Case {
        const char* name;
        int dialogResult;
        bool quitWhileShown;
        size_t left;
    };
    const Case cases[] = {{"sent", 1, false, 0}, {"cancelled", 0, false, 0}, {"program ends", 0, true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        korva::app::testing::testApplication();
        TempHome home;
        OutboxKeeper outbox(home.spool(), [](FaxJob&) { return SubmitResult{}; });
        FaxJob job = unsentJob(home.spool(), false);
        ASSERT_TRUE(outbox.keep(job, SubmitReport{}));
        bool quitting = false;
        std::vector<std::string> shown;
        outbox.offerKeptForDialog(
            [&](FaxJob& offered) {
                shown.push_back(std::string(offered.subject.Text()) + ":" +
                                korva::testing::readWholeFile(offered.documents.at(0).file.Text()));
                quitting = c.quitWhileShown;
                return c.dialogResult;
            },
            [&] { return quitting; });
        EXPECT_EQ(shown, std::vector<std::string>{"Quarterly:fax pages"});
        EXPECT_EQ(Outbox(home.spool()).list().size(), c.left);
    }
}
