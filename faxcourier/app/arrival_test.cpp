#include "faxcourier/app/arrival.h"

#include "controlarea/control_area.h"
#include "controlarea/waiting_documents.h"
#include "faxcourier/app/leftover_documents.h"
#include "faxcourier/app/taken_documents.h"
#include "faxcourier/foundation/log.h"
#include "platform/file_ops.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <future>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace korva;
using namespace korva::app;
using korva::testing::readWholeFile;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace {

// Converts by copying the taken print file's bytes into the target, as the
// real thread does, and reports `pages` pages through the progress target.
// A file target's conversion deletes the print file and its record. The
// first `writeFailures` conversions find the disk full. A cancel seen after
// `whileConverting` stops it with nothing written.
class FakeConverter : public Converter {
public:
    FakeConverter(std::string watchFile, uint32_t pages) : watchFile_(std::move(watchFile)), pages_(pages) {}

    struct Call {
        std::string target;
        bool setFinishedEvent;
        bool withProgress;
        std::string content;  // of the print file handed over
    };
    std::vector<Call> calls;
    int writeFailures = 0;
    std::function<void()> whileConverting;

    std::unique_ptr<Conversion> start(const std::string& printFile, const ConversionTarget& target,
                                      ProgressTarget* progress, const std::string& printRecord) override
    {
        calls.push_back({target.path, target.setFinishedEvent, progress != nullptr, readWholeFile(printFile)});
        bool full = writeFailures > 0;
        writeFailures -= full ? 1 : 0;
        return std::make_unique<Running>(printFile, printRecord, target.path, full ? 0 : pages_, full, progress,
                                         whileConverting);
    }

private:
    class Running : public Conversion {
    public:
        Running(std::string from, std::string record, std::string to, uint32_t pages, bool full,
                ProgressTarget* progress, std::function<void()> during)
            : pages_(pages), full_(full)
        {
            thread_ = std::thread([=, this] {
                if (during)
                    during();
                if (cancelled_) {
                    stopped_ = true;
                    if (progress)
                        progress->postMessage(kConversionFinished, 0);
                    return;
                }
                std::string bytes = readWholeFile(from);
                if (!record.empty()) {
                    discardFile(from);
                    discardFile(record);
                }
                if (!full)
                    writeWholeFile(to, bytes);
                if (progress) {
                    progress->postMessage(kProgressRange, pages);
                    progress->postMessage(kConversionFinished, 0);
                }
            });
        }
        ~Running() override { wait(); }
        void wait() override
        {
            if (thread_.joinable())
                thread_.join();
        }
        uint32_t pageCount() const override { return pages_; }
        bool writeFailed() const override { return full_; }
        bool stopped() const override { return stopped_; }
        void cancel() override { cancelled_ = true; }
        bool cancelled() const override { return cancelled_; }

    private:
        uint32_t pages_;
        bool full_;
        std::atomic<bool> cancelled_{false};
        std::atomic<bool> stopped_{false};
        std::thread thread_;
    };

    std::string watchFile_;
    uint32_t pages_;
};

class FakeUi : public ArrivalUi {
public:
    bool dialogOpen = false;
    bool answerYes = false;
    bool quit = false;
    int questions = 0;
    std::vector<bool> enabledCalls;
    int redraws = 0;
    int progressRuns = 0;
    std::vector<std::intptr_t> progressMessages;
    std::function<void()> whileDialogShown;
    int dialogsShown = 0;
    // Runs once the conversion has started, as the progress dialog's Cancel.
    std::function<void(Conversion&)> whileProgressShown;

    bool sendFaxDialogOpen() override { return dialogOpen; }
    bool askToAddDocument() override
    {
        ++questions;
        return answerYes;
    }
    void setSendFaxDialogEnabled(bool enabled) override { enabledCalls.push_back(enabled); }
    void redrawSendFaxDocuments() override { ++redraws; }
    std::unique_ptr<Conversion> convertWithProgress(
        const std::function<std::unique_ptr<Conversion>(ProgressTarget*)>& start) override
    {
        ++progressRuns;
        struct Target : ProgressTarget {
            std::vector<unsigned>* seen;
            void postMessage(unsigned message, std::intptr_t) override { seen->push_back(message); }
            void show() override {}
            void bringToFront() override {}
        } target;
        std::vector<unsigned> seen;
        target.seen = &seen;
        auto conversion = start(&target);
        if (whileProgressShown)
            whileProgressShown(*conversion);
        conversion->wait();
        for (unsigned m : seen)
            progressMessages.push_back(m);
        return conversion;
    }
    bool sendsFromDialog = false;
    bool headless = false;
    bool showSendFaxDialog() override
    {
        ++dialogsShown;
        if (whileDialogShown)
            whileDialogShown();
        return sendsFromDialog;
    }
    bool quitRequested() override { return quit; }
    bool canShowDialogs() override { return !headless; }
};

class Arrival : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(openControlArea());
        spool = controlAreaSpoolFolder();
        job = FaxJob{};
    }
    void TearDown() override { closeControlArea(); }

    void printDocument(const std::string& content = "print file") { writeWholeFile(spool + "/korvafax.tif", content); }

    ControlRecord record(const char* user = "anna")
    {
        ControlRecord r;
        std::memset(&r, 0, sizeof r);
        setField(r.userName, user);
        return r;
    }

    ArrivalHandler handler(
        FakeConverter& converter, std::function<bool()> submit = [] { return true; })
    {
        return ArrivalHandler(job, state, spool, converter, ui, std::move(submit));
    }

    TempHome home;
    std::string spool;
    FaxJob job;
    PipelineState state;
    FakeUi ui;
};

std::vector<std::string> texts(const std::vector<String>& strings)
{
    std::vector<std::string> out;
    for (const String& s : strings)
        out.emplace_back(s.Text());
    return out;
}

}  // namespace

TEST_F(Arrival, RcptDocumentNameAddsItsRecipientBeforeTheFourFields)
{
    ControlRecord r = record();
    setField(r.documentName, "rcpt:555~Carl~Co");
    setField(r.recipients[0], "111~Anna~Acme");
    setField(r.recipients[2], "333~Bert~");
    ASSERT_TRUE(writeControlRecord(r));
    printDocument();
    FakeConverter converter(spool + "/korvafax.tif", 2);
    std::vector<std::string> submitted;
    auto h = handler(converter, [&] {
        submitted = texts(job.recipients);
        return true;
    });
    state.pipelineBusy = true;
    h.onDocumentWaiting();
    EXPECT_EQ(submitted, (std::vector<std::string>{"555~Carl~Co", "111~Anna~Acme", "333~Bert~"}));
    EXPECT_FALSE(state.pipelineBusy);
}

// A print that gave no page is set aside by the conversion; one the
// conversion could not set aside stays in taken/, never deleted.
TEST_F(Arrival, APrintWithoutPagesThatWasNotSetAsideStaysTaken)
{
    ASSERT_TRUE(writeControlRecord(record()));
    printDocument("no pages");
    FakeConverter converter(spool + "/korvafax.tif", 0);
    auto h = handler(converter);
    state.pipelineBusy = true;
    h.onDocumentWaiting();
    const std::vector<WaitingDocument> kept = listTakenDocuments(spool);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readWholeFile(kept[0].printFile), "no pages");
    EXPECT_FALSE(state.pipelineBusy);
}

TEST_F(Arrival, EmptyRecordKeepsThePreviousCoverPageAndASubjectClearsIt)
{
    FakeConverter converter(spool + "/korvafax.tif", 1);
    auto h = handler(converter);
    std::vector<std::string> coverPagesSeen;
    ui.whileDialogShown = [&] { coverPagesSeen.emplace_back(job.coverPage.Text()); };

    job.coverPage = "Urgent";
    ASSERT_TRUE(writeControlRecord(record()));
    printDocument();
    h.onDocumentWaiting();

    ControlRecord subjectOnly = record();
    setField(subjectOnly.subject, "Invoice");
    ASSERT_TRUE(writeControlRecord(subjectOnly));
    printDocument();
    h.onDocumentWaiting();

    EXPECT_EQ(coverPagesSeen, (std::vector<std::string>{"Urgent", ""}));
    EXPECT_STREQ(job.subject.Text(), "Invoice");
}

TEST_F(Arrival, FileTargetInAnyLetterCaseConvertsWithoutDialogOrDocument)
{
    // faxconvert's "*" before the path asks for the print-finished event.
    const struct {
        const char* prefix;
        bool event;
    } cases[] = {{"~~FileTarget~~", false}, {"~~filetarget~~*", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        std::string target = home.path() + "/out" + std::to_string(c.event) + ".tif";
        ControlRecord r = record();
        setField(r.subject, (c.prefix + target).c_str());
        setField(r.recipients[0], "111~Anna~Acme");
        ASSERT_TRUE(writeControlRecord(r));
        printDocument("pages");
        FakeConverter converter(spool + "/korvafax.tif", 3);
        int submits = 0;
        auto h = handler(converter, [&] { return ++submits > 0; });
        state.pipelineBusy = true;
        h.onDocumentWaiting();

        ASSERT_EQ(converter.calls.size(), 1u);
        EXPECT_EQ(converter.calls[0].target, target);
        EXPECT_EQ(converter.calls[0].setFinishedEvent, c.event);
        EXPECT_FALSE(converter.calls[0].withProgress);
        EXPECT_EQ(submits, 0);
        EXPECT_EQ(ui.dialogsShown, 0);
        EXPECT_EQ(ui.progressRuns, 0);
        EXPECT_TRUE(job.documents.empty());
        EXPECT_FALSE(state.pipelineBusy);
        EXPECT_TRUE(fileExists(target));
    }
}

TEST_F(Arrival, PresetRecipientsSendAtOnceWithoutWindowsAndDeleteTheFiles)
{
    ControlRecord r = record();
    setField(r.subject, "Scripted");
    setField(r.recipients[0], "111~Anna~Acme");
    ASSERT_TRUE(writeControlRecord(r));
    printDocument();
    job.comments = "left by an earlier dialog";
    FakeConverter converter(spool + "/korvafax.tif", 4);
    std::vector<std::string> filesAtSubmit;
    std::string commentsAtSubmit = "unset";
    auto h = handler(converter, [&] {
        for (const FaxDocument& d : job.documents)
            if (fileExists(d.file.Text()))
                filesAtSubmit.emplace_back(d.file.Text());
        commentsAtSubmit = job.comments.Text();
        return true;
    });
    h.onDocumentWaiting();

    EXPECT_EQ(filesAtSubmit, (std::vector<std::string>{spool + "/korvafax1.tif"}));
    EXPECT_EQ(commentsAtSubmit, "");
    EXPECT_EQ(ui.dialogsShown, 0);
    EXPECT_EQ(ui.progressRuns, 0);
    ASSERT_EQ(converter.calls.size(), 1u);
    EXPECT_FALSE(converter.calls[0].withProgress);
    EXPECT_FALSE(fileExists(spool + "/korvafax1.tif"));
    EXPECT_TRUE(job.documents.empty());
    EXPECT_TRUE(job.recipients.empty());
}

// A faxed document whose print file cannot be deleted is never handed on
// again, in this run or the next.
TEST_F(Arrival, AFaxedDocumentThatCannotBeDeletedIsNotFaxedAgain)
{
    korva::testing::ScopedSeam failingDelete(setTakenFileDeleter, [](const std::string& path) -> Result<void> {
        return Error::fromErrno(EIO, "Cannot delete " + path);
    });
    ControlRecord r = record();
    setField(r.recipients[0], "111~Anna~Acme");
    ASSERT_TRUE(writeControlRecord(r));
    printDocument();
    FakeConverter converter(spool + "/korvafax.tif", 1);
    int submits = 0;
    auto h = handler(converter, [&] { return ++submits > 0; });
    h.onDocumentWaiting();
    ASSERT_EQ(submits, 1);

    EXPECT_FALSE(h.documentsWaiting());
    EXPECT_TRUE(listTakenDocuments(spool).empty());
    auto next = handler(converter, [&] { return ++submits > 0; });
    EXPECT_FALSE(next.documentsWaiting());
}

// Damaged control data is never faxed blindly: the document waits for the
// Send Fax dialog, and the log names the field refused.
TEST_F(Arrival, ARecordWithControlBytesOrABrokenRecipientWaitsForTheDialog)
{
    struct Row {
        const char* name;
        const char* subject;
        const char* documentName;
        const char* recipient;
        const char* field;  // refused; empty: sent
    };
    const Row rows[] = {
        {"clean", "Quarterly", "letter", "111~Anna~Acme", ""},
        {"binary subject", "Quar\x01terly", "letter", "111~Anna~Acme", "subject"},
        {"binary number", "Quarterly", "letter",
         "1\x02\x7f"
         "1~Anna~Acme",
         "recipient 1"},
        {"no recipient line", "Quarterly", "letter", "\xfe\xa0junk", "recipient 1"},
        {"binary document name", "Quarterly", "rcpt:555~\x03~", "", "document name"},
        {"rcpt without a line", "Quarterly", "rcpt:555 Carl", "111~Anna~Acme", "document name"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ControlRecord r = record();
        setField(r.subject, row.subject);
        setField(r.documentName, row.documentName);
        setField(r.recipients[0], row.recipient);
        ASSERT_TRUE(writeControlRecord(r));
        printDocument();
        FakeConverter converter(spool + "/korvafax.tif", 1);
        int submits = 0;
        auto h = handler(converter, [&] { return ++submits > 0; });
        ui = FakeUi{};
        std::string logBefore = fileExists(logFilePath()) ? readWholeFile(logFilePath()) : "";
        h.onDocumentWaiting();
        std::string logged = (fileExists(logFilePath()) ? readWholeFile(logFilePath()) : "").substr(logBefore.size());
        bool refused = *row.field != '\0';
        EXPECT_EQ(submits, refused ? 0 : 1);
        EXPECT_EQ(ui.dialogsShown, refused ? 1 : 0);
        if (refused) {
            EXPECT_NE(logged.find(std::string("control record's ") + row.field + " "), std::string::npos) << logged;
        }
    }
}

TEST_F(Arrival, FailedAutomaticSendOpensTheDialogWithTheJobThenCloses)
{
    ControlRecord r = record();
    setField(r.subject, "Scripted");
    setField(r.recipients[0], "111~Anna~Acme");
    ASSERT_TRUE(writeControlRecord(r));
    printDocument();
    FakeConverter converter(spool + "/korvafax.tif", 2);
    auto h = handler(converter, [] { return false; });
    bool busyWhileShown = true;
    std::vector<std::string> recipientsShown;
    std::string subjectShown;
    size_t documentsShown = 0;
    ui.whileDialogShown = [&] {
        busyWhileShown = state.pipelineBusy;
        recipientsShown = texts(job.recipients);
        subjectShown = job.subject.Text();
        documentsShown = job.documents.size();
        state.pipelineBusy = true;  // the watcher announced the next document meanwhile
    };
    state.pipelineBusy = true;
    h.onDocumentWaiting();

    EXPECT_EQ(ui.dialogsShown, 1);
    EXPECT_FALSE(busyWhileShown);
    EXPECT_EQ(recipientsShown, (std::vector<std::string>{"111~Anna~Acme"}));
    EXPECT_EQ(subjectShown, "Scripted");
    EXPECT_EQ(documentsShown, 1u);
    EXPECT_FALSE(fileExists(spool + "/korvafax1.tif"));
    EXPECT_TRUE(state.pipelineBusy) << "the announcement made while the dialog was open must stay";
}

TEST_F(Arrival, InteractiveDocumentRunsTheProgressAndTheDialogThenDeletesTheFiles)
{
    printDocument();
    FakeConverter converter(spool + "/korvafax.tif", 3);
    auto h = handler(converter);
    uint32_t pagesShown = 0;
    std::string fileShown;
    ui.whileDialogShown = [&] {
        ASSERT_EQ(job.documents.size(), 1u);
        pagesShown = job.documents[0].pages;
        fileShown = job.documents[0].file.Text();
        EXPECT_TRUE(fileExists(fileShown));
    };
    h.onDocumentWaiting();
    EXPECT_EQ(ui.progressRuns, 1);
    EXPECT_EQ(ui.progressMessages, (std::vector<std::intptr_t>{kProgressRange, kConversionFinished}));
    EXPECT_EQ(pagesShown, 3u);
    EXPECT_EQ(fileShown, spool + "/korvafax1.tif");
    EXPECT_FALSE(fileExists(fileShown));
    EXPECT_TRUE(job.documents.empty());
}

// Cancel in the progress dialog: no document and no dialog. A print the
// conversion could not set aside stays whole in taken/ for the next run, and
// this one does not take it again.
TEST_F(Arrival, ACancelledConversionKeepsThePrintFileAndAddsNothing)
{
    printDocument("120 pages");
    FakeConverter converter(spool + "/korvafax.tif", 120);
    std::promise<void> pressed;
    std::shared_future<void> cancel = pressed.get_future().share();
    converter.whileConverting = [cancel] { cancel.wait(); };
    ui.whileProgressShown = [&](Conversion& conversion) {
        conversion.cancel();
        pressed.set_value();
    };
    auto h = handler(converter);
    int announced = 0;
    h.setAnnounceNext([&] { ++announced; });
    state.pipelineBusy = true;
    h.onDocumentWaiting();
    EXPECT_EQ(ui.dialogsShown, 0);
    EXPECT_TRUE(job.documents.empty());
    EXPECT_FALSE(fileExists(spool + "/korvafax1.tif"));
    const std::vector<WaitingDocument> kept = listTakenDocuments(spool);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readWholeFile(kept[0].printFile), "120 pages");
    EXPECT_FALSE(state.pipelineBusy);
    EXPECT_EQ(announced, 0);
    EXPECT_FALSE(h.documentsWaiting());
}

// One the conversion set aside leaves nothing in taken/ for the next run.
TEST_F(Arrival, ACancelledConversionSetAsideLeavesNothingTaken)
{
    printDocument("3 pages");
    FakeConverter converter(spool + "/korvafax.tif", 3);
    std::promise<void> pressed;
    std::shared_future<void> cancel = pressed.get_future().share();
    converter.whileConverting = [&, cancel] {
        cancel.wait();
        for (const WaitingDocument& taken : listTakenDocuments(spool))
            EXPECT_EQ(rename(taken.printFile.c_str(), (spool + "/set-aside.tif").c_str()), 0);
    };
    ui.whileProgressShown = [&](Conversion& conversion) {
        conversion.cancel();
        pressed.set_value();
    };
    auto h = handler(converter);
    state.pipelineBusy = true;
    h.onDocumentWaiting();
    EXPECT_TRUE(job.documents.empty());
    EXPECT_TRUE(listTakenDocuments(spool).empty());
    EXPECT_EQ(readWholeFile(spool + "/set-aside.tif"), "3 pages");
    EXPECT_FALSE(h.documentsWaiting());
}

TEST_F(Arrival, SecondPrintWhileTheDialogIsOpenAsksAndYesAddsTheDocument)
{
    printDocument();
    FakeConverter converter(spool + "/korvafax.tif", 2);
    auto h = handler(converter);
    ui.whileDialogShown = [&] {
        ui.dialogOpen = true;
        ui.answerYes = true;
        printDocument("second");
        h.onDocumentWaiting();
        EXPECT_EQ(ui.questions, 1);
        EXPECT_EQ(ui.enabledCalls, (std::vector<bool>{false, true}));
        EXPECT_EQ(ui.redraws, 1);
        ASSERT_EQ(job.documents.size(), 2u);
        EXPECT_EQ(job.documents[1].file.Text(), spool + "/korvafax2.tif");
        EXPECT_EQ(readWholeFile(spool + "/korvafax2.tif"), "second");
        EXPECT_EQ(ui.dialogsShown, 1) << "no second dialog";
    };
    h.onDocumentWaiting();
    EXPECT_FALSE(fileExists(spool + "/korvafax1.tif"));
    EXPECT_FALSE(fileExists(spool + "/korvafax2.tif"));
    EXPECT_TRUE(job.documents.empty());
}

TEST_F(Arrival, AnswerNoDropsTheDocumentAtOnceAndConvertsNothing)
{
    printDocument();
    FakeConverter converter(spool + "/korvafax.tif", 2);
    auto h = handler(converter);
    ui.whileDialogShown = [&] {
        ui.dialogOpen = true;
        ui.answerYes = false;
        printDocument("second");
        state.pipelineBusy = true;
        h.onDocumentWaiting();
        EXPECT_EQ(ui.questions, 1);
        EXPECT_TRUE(ui.enabledCalls.empty());
        EXPECT_EQ(job.documents.size(), 1u);
        EXPECT_EQ(converter.calls.size(), 1u);
        EXPECT_FALSE(fileExists(spool + "/korvafax.tif")) << "nothing may wait for a document the user declined";
        EXPECT_FALSE(state.pipelineBusy);
    };
    h.onDocumentWaiting();
}

TEST_F(Arrival, FirstConvertedFileIsKorvafax1)
{
    printDocument();
    FakeConverter converter(spool + "/korvafax.tif", 1);
    auto h = handler(converter);
    h.onDocumentWaiting();
    ASSERT_EQ(converter.calls.size(), 1u);
    EXPECT_EQ(converter.calls[0].target, spool + "/korvafax1.tif");
}

TEST_F(Arrival, WatchFileGoneBeforeHandlingDoesNothing)
{
    FakeConverter converter(spool + "/korvafax.tif", 1);
    auto h = handler(converter);
    job.subject = "kept";
    state.pipelineBusy = true;
    h.onDocumentWaiting();
    EXPECT_TRUE(converter.calls.empty());
    EXPECT_EQ(ui.dialogsShown, 0);
    EXPECT_STREQ(job.subject.Text(), "kept");
    EXPECT_FALSE(state.pipelineBusy);
}

// The job that was not sent and that no dialog may take goes to the outbox
// with everything the user or the script gave it.
TEST_F(Arrival, UnsentJobGoesToTheOutboxWhenNoDialogCanTakeIt)
{
    struct Case {
        const char* name;
        bool quit, headless, presetRecipient, serverAccepts;
    };
    const Case cases[] = {
        {"quit during the conversion", true, false, true, true},
        {"no display, server refuses", false, true, true, false},
        {"no display, no recipients", false, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlRecord r = record();
        setField(r.subject, "Quarterly");
        if (c.presetRecipient)
            setField(r.recipients[0], "111~Anna~Acme");
        ASSERT_TRUE(writeControlRecord(r));
        printDocument("pages");
        FakeConverter converter(spool + "/korvafax.tif", 2);
        int submits = 0;
        auto h = handler(converter, [&] {
            ++submits;
            return c.serverAccepts;
        });
        std::vector<std::string> outboxFiles, outboxRecipients;
        std::string outboxSubject;
        h.setOutbox([&](FaxJob& unsent, bool forDialog) {
            EXPECT_FALSE(forDialog);
            for (const FaxDocument& d : unsent.documents)
                outboxFiles.push_back(readWholeFile(d.file.Text()));
            outboxRecipients = texts(unsent.recipients);
            outboxSubject = unsent.subject.Text();
            return true;
        });
        ui = FakeUi{};
        ui.quit = c.quit;
        ui.headless = c.headless;
        h.onDocumentWaiting();
        EXPECT_EQ(ui.dialogsShown, 0);
        EXPECT_EQ(outboxFiles, std::vector<std::string>{"pages"});
        EXPECT_EQ(outboxSubject, "Quarterly");
        EXPECT_EQ(outboxRecipients.size(), c.presetRecipient ? 1u : 0u);
        EXPECT_EQ(submits, c.presetRecipient && !c.quit ? 1 : 0);
        EXPECT_TRUE(job.documents.empty());
    }
}

// Ended by quit, the job the dialog had waits for the dialog again, even
// with the preset recipients a failed send left: only the user sends it.
TEST_F(Arrival, DialogEndedByQuitKeepsTheJobForTheDialogAndACancelledOneDoesNot)
{
    for (bool quitWhileShown : {true, false}) {
        SCOPED_TRACE(quitWhileShown ? "quit" : "cancel");
        ControlRecord r = record();
        setField(r.recipients[0], "111~Anna~Acme");
        ASSERT_TRUE(writeControlRecord(r));
        printDocument();
        FakeConverter converter(spool + "/korvafax.tif", 1);
        auto h = handler(converter, [] { return false; });
        int kept = 0, keptForDialog = 0;
        h.setOutbox([&](FaxJob&, bool forDialog) {
            keptForDialog += forDialog;
            return ++kept > 0;
        });
        ui = FakeUi{};
        ui.whileDialogShown = [&] { ui.quit = quitWhileShown; };
        h.onDocumentWaiting();
        EXPECT_EQ(ui.dialogsShown, 1);
        EXPECT_EQ(kept, quitWhileShown ? 1 : 0);
        EXPECT_EQ(keptForDialog, kept);
    }
}

TEST_F(Arrival, DocumentWithoutPagesIsNeverSubmitted)
{
    ControlRecord r = record();
    setField(r.recipients[0], "111~Anna~Acme");
    ASSERT_TRUE(writeControlRecord(r));
    printDocument("unreadable");
    FakeConverter converter(spool + "/korvafax.tif", 0);
    int submits = 0;
    auto h = handler(converter, [&] { return ++submits > 0; });
    h.onDocumentWaiting();
    EXPECT_EQ(submits, 0);
    EXPECT_EQ(ui.dialogsShown, 0);
    EXPECT_TRUE(job.documents.empty());
}

// Documents kept behind the watch file come next, oldest first, each with
// the record it was printed with; every handled one announces the next.
TEST_F(Arrival, KeptDocumentsFollowTheWatchFileInPrintingOrderWithTheirOwnRecords)
{
    ControlRecord current = record();
    setField(current.recipients[0], "100~Watch~");
    ASSERT_TRUE(writeControlRecord(current));
    printDocument("first");
    for (const char* number : {"200", "300"}) {
        writeWholeFile(home.path() + "/job.tif", std::string("doc ") + number);
        ControlRecord own = record();
        setField(own.recipients[0], (std::string(number) + "~Kept~").c_str());
        ASSERT_TRUE(keepWaitingDocument(spool, home.path() + "/job.tif", own).ok());
    }
    FakeConverter converter(spool + "/korvafax.tif", 1);
    std::vector<std::string> sent;
    auto h = handler(converter, [&] {
        sent.push_back(texts(job.recipients).at(0) + "=" + readWholeFile(job.documents.at(0).file.Text()));
        return true;
    });
    int announced = 0;
    h.setAnnounceNext([&] { ++announced; });
    for (int i = 0; i < 4; ++i)
        h.onDocumentWaiting();
    EXPECT_EQ(sent, (std::vector<std::string>{"100~Watch~=first", "200~Kept~=doc 200", "300~Kept~=doc 300"}));
    EXPECT_EQ(announced, 2);
    EXPECT_FALSE(documentsWaiting(spool));
    EXPECT_TRUE(listWaitingDocuments(spool).empty());
}

namespace {

// The print files anywhere under the spool folder, by content.
std::vector<std::string> filesHolding(const std::string& folder, const std::string& content)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && readWholeFile(entry.path().string()) == content)
            found.push_back(entry.path().string());
    return found;
}

}  // namespace

// The disk is full while the document converts (at its first page or a
// later one): nothing is sent, nothing is set aside as unfaxable, and the
// document is taken again with its record after the outbox's back-off.
TEST_F(Arrival, ADocumentThatCannotBeWrittenWaitsAndIsTakenAgainAfterTheBackOff)
{
    ControlRecord r = record();
    setField(r.recipients[0], "111~Anna~Acme");
    ASSERT_TRUE(writeControlRecord(r));
    printDocument("pages");
    FakeConverter converter(spool + "/korvafax.tif", 2);
    converter.writeFailures = 2;
    std::vector<std::string> sent;
    auto h = handler(converter, [&] {
        sent.push_back(texts(job.recipients).at(0) + "=" + readWholeFile(job.documents.at(0).file.Text()));
        return true;
    });
    int64_t now = 1000;
    std::vector<long> delays;
    h.setRetryTimer([&](std::chrono::seconds delay) { delays.push_back(long(delay.count())); }, [&] { return now; });

    struct Step {
        int64_t at;
        size_t conversions;
        std::vector<long> delays;
    };
    const Step steps[] = {
        {1000, 1, {30}},      // full: waits 30 s
        {1029, 1, {30}},      // not due yet
        {1030, 2, {30, 60}},  // full again: twice as long
        {1090, 3, {30, 60}},  // room again: sent
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.at);
        now = step.at;
        h.onDocumentWaiting();
        EXPECT_EQ(converter.calls.size(), step.conversions);
        EXPECT_EQ(delays, step.delays);
        EXPECT_EQ(ui.dialogsShown, 0);
        EXPECT_FALSE(fileExists(unsentFolder(spool)));
        if (converter.calls.size() < 3) {
            EXPECT_EQ(filesHolding(spool, "pages").size(), 1u) << "the print file is kept";
        }
    }
    EXPECT_EQ(sent, std::vector<std::string>{"111~Anna~Acme=pages"});
    EXPECT_TRUE(filesHolding(spool, "pages").empty());
    EXPECT_FALSE(h.documentsWaiting());
}

// The print file cannot even be taken (no room for its record): it stays
// under its hand-over name and is tried again after the back-off, not at once
// over and over.
TEST_F(Arrival, ADocumentThatCannotBeTakenWaitsForTheBackOff)
{
    ControlRecord r = record();
    setField(r.recipients[0], "111~Anna~Acme");
    ASSERT_TRUE(writeControlRecord(r));
    printDocument("pages");
    writeWholeFile(spool + "/taken", "a file where the folder should be");
    FakeConverter converter(spool + "/korvafax.tif", 1);
    int sent = 0;
    auto h = handler(converter, [&] { return ++sent > 0; });
    int64_t now = 1000;
    std::vector<long> delays;
    h.setRetryTimer([&](std::chrono::seconds delay) { delays.push_back(long(delay.count())); }, [&] { return now; });
    h.onDocumentWaiting();
    EXPECT_EQ(delays, std::vector<long>{30});
    EXPECT_FALSE(h.documentsWaiting());
    EXPECT_EQ(readWholeFile(spool + "/korvafax.tif"), "pages");

    discardFile(spool + "/taken");
    now += 30;
    EXPECT_TRUE(h.documentsWaiting());
    h.onDocumentWaiting();
    EXPECT_EQ(sent, 1);
}

// faxcourier is killed while it has a document in hand; the next run (after
// the start-up tidying) faxes it with the recipients it was printed with.
TEST_F(Arrival, ADocumentInHandWhenTheProgramIsKilledIsFaxedByTheNextRun)
{
    enum class Kill { Converting, Submitting, InTheDialog };
    struct Case {
        const char* name;
        Kill at;
        bool preset;
    };
    const Case cases[] = {
        {"killed while converting", Kill::Converting, true},
        {"killed in DATA", Kill::Submitting, true},
        {"killed with the Send Fax dialog open", Kill::InTheDialog, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlRecord r = record();
        setField(r.subject, "Invoice");
        if (c.preset)
            setField(r.recipients[0], "111~Anna~Acme");
        ASSERT_TRUE(writeControlRecord(r));
        printDocument("pages");
        pid_t child = fork();
        if (child == 0) {
            FakeConverter converter(spool + "/korvafax.tif", 2);
            if (c.at == Kill::Converting)
                converter.whileConverting = [] { _exit(9); };
            auto h = handler(converter, [&] {
                if (c.at == Kill::Submitting)
                    _exit(9);
                return true;
            });
            ui.whileDialogShown = [] { _exit(9); };
            h.onDocumentWaiting();
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_EQ(WEXITSTATUS(status), 9);

        // Another record is in force by the time the next run starts.
        ASSERT_TRUE(writeControlRecord(record("bert")));
        EXPECT_EQ(leftoverNotice(setAsideLeftoverDocuments(spool)), "") << "nothing to print again";
        FakeConverter converter(spool + "/korvafax.tif", 2);
        std::vector<std::string> sent;
        auto sendRecorded = [&] {
            std::string to = job.recipients.empty() ? "" : texts(job.recipients).at(0);
            sent.push_back(std::string(job.subject.Text()) + "/" + to + "=" +
                           readWholeFile(job.documents.at(0).file.Text()));
            return true;
        };
        auto h = handler(converter, sendRecorded);
        ui = FakeUi{};
        ui.sendsFromDialog = true;
        ui.whileDialogShown = [&] { sendRecorded(); };
        for (int i = 0; i < 2; ++i)
            h.onDocumentWaiting();
        const std::string to = c.preset ? "111~Anna~Acme" : "";
        EXPECT_EQ(sent, std::vector<std::string>{"Invoice/" + to + "=pages"});
        EXPECT_TRUE(filesHolding(spool, "pages").empty());
    }
}
