#include "faxcourier/app/arrival.h"

#include "controlarea/control_area.h"
#include "platform/file_ops.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

using namespace korva;
using namespace korva::app;
using korva::testing::readWholeFile;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace {

// Converts by moving the watch file's bytes into the target, as the real
// thread does, and reports `pages` pages through the progress target.
class FakeConverter : public Converter {
public:
    FakeConverter(std::string watchFile, uint32_t pages) : watchFile_(std::move(watchFile)), pages_(pages) {}

    struct Call {
        std::string target;
        bool withProgress;
    };
    std::vector<Call> calls;

    std::unique_ptr<Conversion> start(const std::string& target, ProgressTarget* progress) override
    {
        calls.push_back({target, progress != nullptr});
        return std::make_unique<Running>(watchFile_, target, pages_, progress);
    }

private:
    class Running : public Conversion {
    public:
        Running(std::string from, std::string to, uint32_t pages, ProgressTarget* progress) : pages_(pages)
        {
            thread_ = std::thread([=] {
                std::string bytes = readWholeFile(from);
                deleteFile(from);
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

    private:
        uint32_t pages_;
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
        conversion->wait();
        for (unsigned m : seen)
            progressMessages.push_back(m);
        return conversion;
    }
    void showSendFaxDialog() override
    {
        ++dialogsShown;
        if (whileDialogShown)
            whileDialogShown();
    }
    bool quitRequested() override { return quit; }
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

    ArrivalHandler handler(FakeConverter& converter, std::function<bool()> submit = [] { return true; })
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
    writeControlRecord(r);
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

TEST_F(Arrival, EmptyRecordKeepsThePreviousCoverPageAndASubjectClearsIt)
{
    FakeConverter converter(spool + "/korvafax.tif", 1);
    auto h = handler(converter);
    std::vector<std::string> coverPagesSeen;
    ui.whileDialogShown = [&] { coverPagesSeen.emplace_back(job.coverPage.Text()); };

    job.coverPage = "Urgent";
    writeControlRecord(record());
    printDocument();
    h.onDocumentWaiting();

    ControlRecord subjectOnly = record();
    setField(subjectOnly.subject, "Invoice");
    writeControlRecord(subjectOnly);
    printDocument();
    h.onDocumentWaiting();

    EXPECT_EQ(coverPagesSeen, (std::vector<std::string>{"Urgent", ""}));
    EXPECT_STREQ(job.subject.Text(), "Invoice");
}

TEST_F(Arrival, FileTargetInAnyLetterCaseConvertsWithoutDialogOrDocument)
{
    std::string target = home.path() + "/out.tif";
    ControlRecord r = record();
    setField(r.subject, ("~~FileTarget~~" + target).c_str());
    setField(r.recipients[0], "111~Anna~Acme");
    writeControlRecord(r);
    printDocument("pages");
    FakeConverter converter(spool + "/korvafax.tif", 3);
    int submits = 0;
    auto h = handler(converter, [&] { return ++submits > 0; });
    state.pipelineBusy = true;
    h.onDocumentWaiting();

    ASSERT_EQ(converter.calls.size(), 1u);
    EXPECT_EQ(converter.calls[0].target, target);
    EXPECT_FALSE(converter.calls[0].withProgress);
    EXPECT_EQ(submits, 0);
    EXPECT_EQ(ui.dialogsShown, 0);
    EXPECT_EQ(ui.progressRuns, 0);
    EXPECT_TRUE(job.documents.empty());
    EXPECT_FALSE(state.pipelineBusy);
    EXPECT_TRUE(fileExists(target));
}

TEST_F(Arrival, PresetRecipientsSendAtOnceWithoutWindowsAndDeleteTheFiles)
{
    ControlRecord r = record();
    setField(r.subject, "Scripted");
    setField(r.recipients[0], "111~Anna~Acme");
    writeControlRecord(r);
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

TEST_F(Arrival, FailedAutomaticSendOpensTheDialogWithTheJobThenCloses)
{
    ControlRecord r = record();
    setField(r.subject, "Scripted");
    setField(r.recipients[0], "111~Anna~Acme");
    writeControlRecord(r);
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

TEST_F(Arrival, AnswerNoLeavesTheWatchFileAndConvertsNothing)
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
        EXPECT_EQ(readWholeFile(spool + "/korvafax.tif"), "second");
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

TEST_F(Arrival, QuitDuringTheConversionClosesTheJobWithoutADialog)
{
    printDocument();
    FakeConverter converter(spool + "/korvafax.tif", 1);
    auto h = handler(converter);
    ui.quit = true;
    h.onDocumentWaiting();
    EXPECT_EQ(ui.dialogsShown, 0);
    EXPECT_FALSE(fileExists(spool + "/korvafax1.tif"));
    EXPECT_TRUE(job.documents.empty());
}
