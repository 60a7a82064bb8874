// The Outbox window driven by keys: Retry Now, Open in Send Fax and Delete
// on the entries the keeper holds, and the Sent tab from the journal.

#include "faxcourier/app/outbox_window.h"

#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/outbox_keeper.h"
#include "faxcourier/app/send_fax_dialog.h"
#include "faxcourier/outbox/outbox_command.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/testing/language_scope.h"
#include "faxcourier/widgets/testing/scripted_ui.h"
#include "platform/testing/test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace korva;
using namespace korva::app;
using namespace korva::app::testing;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace {

class OutboxWindowTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(home.spool()); }

    // An entry with one two-page document, as a failed fax leaves it.
    std::string add(const char* subject, std::vector<String> recipients, OutboxState state, const char* reason)
    {
        FaxJob job;
        job.subject = subject;
        job.recipients = std::move(recipients);
        FaxDocument document;
        document.file = (home.spool() + "/korvafax" + std::to_string(++documents) + ".tif").c_str();
        document.pages = 2;
        writeWholeFile(document.file.Text(), subject);
        job.documents = {document};
        std::string id = outbox.add(job, state, reason, 1765137455).valueOr({});
        EXPECT_FALSE(id.empty());
        return id;
    }

    // Opens the window with the row of `subject` selected by arrow keys.
    void openAt(const char* subject)
    {
        window = std::make_unique<OutboxWindow>(keeper, actions);
        ASSERT_TRUE(showActive(window.get()));
        QTreeWidget* view = entries();
        ASSERT_EQ(QApplication::focusWidget(), view);
        pressKey(Qt::Key_Home);
        for (int row = 0;
             row < view->topLevelItemCount() && view->currentItem()->text(OutboxWindow::Subject) != subject; ++row)
            pressKey(Qt::Key_Down);
        ASSERT_EQ(view->currentItem()->text(OutboxWindow::Subject), subject);
    }

    QTreeWidget* entries() { return window->findChild<QTreeWidget*>("entries"); }
    QTreeWidget* sent() { return window->findChild<QTreeWidget*>("sent"); }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }

    std::vector<std::string> subjectsLeft()
    {
        std::vector<std::string> subjects;
        for (const OutboxEntry& entry : outbox.list())
            subjects.emplace_back(entry.job.subject.Text());
        return subjects;
    }

    // Before the keeper: its notifier needs the application.
    bool application = (testApplication(), true);
    TempHome home;
    ScriptedUi ui;
    int documents = 0;
    Outbox outbox{home.spool()};
    std::vector<std::string> submitted;
    bool accept = true;
    OutboxKeeper keeper{
        home.spool(), [this](FaxJob& job) {
            submitted.emplace_back(job.subject.Text());
            return accept ? SubmitResult{true, false, {}} : SubmitResult{false, true, "the log-on was refused"};
        }};
    OutboxWindow::Actions actions;
    std::unique_ptr<OutboxWindow> window;
};

}  // namespace

TEST_F(OutboxWindowTest, RetryNowSendsTheSelectedFaxRefusedOrNotAndTheSentTabShowsIt)
{
    add("Refused", {"0301 555~Berta Blau~Blau KG"}, OutboxState::Refused, "the log-on was refused");
    add("Draft", {}, OutboxState::NeedsDialog, "no recipients: waits for the Send Fax dialog");
    openAt("Draft");
    EXPECT_FALSE(button("retry")->isEnabled()) << "only the dialog sends a fax without recipients";
    EXPECT_FALSE(window->findChild<QLabel*>("note")->text().isEmpty());

    pressKey(Qt::Key_Up);
    ASSERT_TRUE(button("retry")->isEnabled());
    pressKey(Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(processEventsUntil([&] { return entries()->topLevelItemCount() == 1; }));
    EXPECT_EQ(submitted, std::vector<std::string>{"Refused"});
    EXPECT_EQ(subjectsLeft(), std::vector<std::string>{"Draft"});

    pressKey(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(window->findChild<QTabWidget*>()->currentIndex(), 1);
    ASSERT_EQ(sent()->topLevelItemCount(), 1);
    QTreeWidgetItem* row = sent()->topLevelItem(0);
    EXPECT_EQ(row->text(OutboxWindow::SentRecipients), "Berta Blau");
    EXPECT_EQ(row->text(OutboxWindow::SentSubject), "Refused");
    EXPECT_EQ(row->text(OutboxWindow::SentPages), "2");
    EXPECT_EQ(row->text(OutboxWindow::SentHow), "from the outbox");
}

TEST_F(OutboxWindowTest, RetryNowThatFailsAgainKeepsTheFaxWithTheNewReason)
{
    add("Stuck", {"0301 555~~"}, OutboxState::Waiting, "the server did not answer");
    accept = false;
    openAt("Stuck");
    pressKey(Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(processEventsUntil(
        [&] { return entries()->topLevelItem(0)->text(OutboxWindow::Reason) == "the log-on was refused"; }));
    EXPECT_EQ(entries()->topLevelItem(0)->text(OutboxWindow::State), "refused");
    EXPECT_EQ(entries()->topLevelItem(0)->text(OutboxWindow::Attempts), "2");
    EXPECT_EQ(sent()->topLevelItemCount(), 0);
}

TEST_F(OutboxWindowTest, DeleteAsksFirstAndOnlyYesRemovesTheFax)
{
    for (Answer answer : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(answer == Answer::Yes ? "yes" : "no");
        add("Offer", {"0301 555~Berta Blau~"}, OutboxState::Waiting, "the server did not answer");
        openAt("Offer");
        ui.boxes.clear();
        ui.answer(answer);
        ASSERT_TRUE(button("delete")->isEnabled());
        pressKey(Qt::Key_D, Qt::AltModifier);
        // An access key clicks the button a moment later, as the eye sees it pressed.
        ASSERT_TRUE(processEventsUntil([&] { return !ui.boxes.empty(); }));
        QCoreApplication::processEvents();
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].buttons, Buttons::YesNo);
        EXPECT_EQ(ui.boxes[0].defaultAnswer, Answer::No);
        EXPECT_TRUE(ui.boxes[0].text.contains("Offer")) << ui.boxes[0].text.toStdString();
        EXPECT_EQ(outbox.list().size(), answer == Answer::Yes ? 0u : 1u);
        EXPECT_EQ(entries()->topLevelItemCount(), answer == Answer::Yes ? 0 : 1);
        EXPECT_EQ(button("delete")->isEnabled(), answer == Answer::No) << "nothing left to delete";
        if (answer == Answer::No) {
            ASSERT_TRUE(outbox.drop(outbox.list()[0].id));
        }
    }
}

// The entry goes to a real Send Fax dialog: sent it leaves the outbox,
// cancelled it stays as it was; meanwhile no retry takes it.
TEST_F(OutboxWindowTest, OpenInSendFaxSendsTheEditedFaxOrKeepsItOnCancel)
{
    Settings settings;
    settings.Server = "mail.example.com";
    TifViewer tif;
    std::vector<std::string> sentSubjects;
    int dialogsShown = 0;
    for (bool send : {false, true}) {
        SCOPED_TRACE(send ? "send" : "cancel");
        if (outbox.list().empty())
            add("Refused", {"0301 555~Berta Blau~"}, OutboxState::Refused, "the log-on was refused");
        actions.openInSendFax = [&](const std::string& id) {
            HoldResult held = keeper.offerInDialog(
                id,
                [&](FaxJob& job) {
                    SendFaxServices services;
                    services.submitFax = [&](QWidget*) {
                        sentSubjects.emplace_back(job.subject.Text());
                        return true;
                    };
                    services.quitRequested = [] { return false; };
                    services.requestQuit = [] {};
                    SendFaxDialog dialog(job, settings, tif, services);
                    ++dialogsShown;
                    whenShown("SendFaxDialog", [&](QWidget* shown) {
                        EXPECT_EQ(subjectsLeft(), std::vector<std::string>{"Refused"});
                        EXPECT_EQ(Outbox(home.spool()).list()[0].state, OutboxState::NeedsDialog);
                        auto* subject = shown->findChild<QLineEdit*>(controlName(IDC_SUBJECT));
                        EXPECT_TRUE(QTest::qWaitForWindowActive(shown));
                        subject->setFocus();
                        subject->selectAll();
                        QTest::keyClicks(subject, "Mended");
                        if (send)
                            QTest::keyClick(subject, Qt::Key_E, Qt::AltModifier);  // Send Fax
                        else
                            QTest::keyClick(subject, Qt::Key_Escape);
                    });
                    return dialog.run();
                },
                [] { return false; });
            EXPECT_EQ(held, HoldResult::Held);
        };
        openAt("Refused");
        ASSERT_TRUE(button("open")->isEnabled());
        pressKey(Qt::Key_O, Qt::AltModifier);
        ASSERT_TRUE(
            processEventsUntil([&] { return SendFaxDialog::current() == nullptr && dialogsShown == (send ? 2 : 1); }));
        EXPECT_EQ(modalTimeouts(), 0);
        if (send) {
            EXPECT_EQ(sentSubjects, std::vector<std::string>{"Mended"});
            EXPECT_TRUE(outbox.list().empty());
        } else {
            EXPECT_TRUE(sentSubjects.empty());
            ASSERT_EQ(outbox.list().size(), 1u);
            EXPECT_EQ(outbox.list()[0].state, OutboxState::Refused) << "back as it was";
            EXPECT_EQ(entries()->topLevelItem(0)->text(OutboxWindow::Subject), "Refused");
        }
    }
}

// Checked again whenever the window comes back to the front.
TEST_F(OutboxWindowTest, OpenInSendFaxWaitsWhileAnotherSendFaxDialogIsOpen)
{
    add("Refused", {"0301 555~Berta Blau~"}, OutboxState::Refused, "the log-on was refused");
    QString blocked;
    actions.sendFaxBlocked = [&] { return blocked; };
    openAt("Refused");
    EXPECT_TRUE(button("open")->isEnabled());

    blocked = "A Send Fax dialog is open: send or cancel that fax first.";
    QWidget elsewhere;
    ASSERT_TRUE(showActive(&elsewhere));
    ASSERT_TRUE(showActive(window.get()));
    EXPECT_FALSE(button("open")->isEnabled());
    EXPECT_EQ(window->findChild<QLabel*>("note")->text(), blocked);
    EXPECT_TRUE(button("retry")->isEnabled());
    EXPECT_TRUE(button("delete")->isEnabled());
}

TEST_F(OutboxWindowTest, FollowsChangesMadeOutsideWhileOpen)
{
    add("First", {"0301 555~~"}, OutboxState::Waiting, "the server did not answer");
    openAt("First");
    add("Second", {"0302 666~~"}, OutboxState::Waiting, "the server did not answer");
    EXPECT_TRUE(processEventsUntil([&] { return entries()->topLevelItemCount() == 2; }));
    ASSERT_TRUE(keeper.journal().append(SentRecord{1765137455, SentHow::ByHand, 1, "By hand", {"Anna"}}));
    EXPECT_TRUE(processEventsUntil([&] { return sent()->topLevelItemCount() == 1; }));
}

// The text listing and the window name the same entries, in the same order,
// with the same recipients, subjects, pages and reasons.
TEST_F(OutboxWindowTest, TheTextListingAndTheWindowAgree)
{
    add("Invoice\r\n12", {"555~Carl~Co", "666~J\xFCrgen~"}, OutboxState::Waiting, "the server did not answer");
    add("Draft", {}, OutboxState::NeedsDialog, "no recipients: waits for the Send Fax dialog");
    add("Refused", {"777~~"}, OutboxState::Refused, "the log-on was refused");
    std::ostringstream out, err;
    SentJournal journal(SentJournal::defaultPath());
    ASSERT_EQ(runOutboxCommand({"--outbox"}, out, err, outbox, {}, 0, journal), 0);
    const std::string listing = out.str();
    openAt("Draft");
    ASSERT_EQ(entries()->topLevelItemCount(), 3);
    size_t at = 0;
    for (int row = 0; row < 3; ++row) {
        QTreeWidgetItem* item = entries()->topLevelItem(row);
        for (auto [label, column] : {std::pair{"subject     ", OutboxWindow::Subject},
                                     {"recipients  ", OutboxWindow::Recipients},
                                     {"reason      ", OutboxWindow::Reason}}) {
            const std::string line = std::string("  ") + label + item->text(column).toStdString() + "\n";
            size_t found = listing.find(line, at);
            ASSERT_NE(found, std::string::npos) << line;
            at = found;
        }
        EXPECT_NE(listing.find("  pages       " + item->text(OutboxWindow::Pages).toStdString() + " in 1 document"),
                  std::string::npos);
    }
}

// The window in the reader's language; the reason, stored in English, shown
// in it too, while the entry keeps the English words.
TEST_F(OutboxWindowTest, TheWindowReadsTheReadersLanguage)
{
    struct Case {
        const char* language;
        const char* title;
        const char* state;
        const char* reason;
    };
    const Case cases[] = {
        {"de", "KORVA Fax \u2013 Postausgang", "abgelehnt", "die Anmeldung wurde abgelehnt"},
        {"fr", "KORVA Fax \u2013 Bo\u00eete d'envoi", "refus\u00e9", "l'authentification a \u00e9t\u00e9 refus\u00e9e"},
    };
    add("Refused", {"0301 555~Berta Blau~"}, OutboxState::Refused, "the log-on was refused");
    for (const Case& c : cases) {
        korva::testing::LanguageScope scope(c.language);
        window = std::make_unique<OutboxWindow>(keeper, actions);
        EXPECT_EQ(window->windowTitle().toStdString(), c.title);
        QTreeWidgetItem* row = entries()->topLevelItem(0);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->text(OutboxWindow::State).toStdString(), c.state);
        EXPECT_EQ(row->text(OutboxWindow::Reason).toStdString(), c.reason);
    }
    EXPECT_EQ(outbox.list().at(0).reason, "the log-on was refused");
}
