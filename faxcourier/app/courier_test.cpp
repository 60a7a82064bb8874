// The program's Courier in this process, with the real watcher, conversion
// and SubmitFax: faxprint prints, korva-sim receives. Message boxes are
// answered by a script; every window that appears is counted.

#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/outbox_keeper.h"
#include "faxcourier/app/program_courier.h"
#include "faxcourier/outbox/sent_journal.h"
#include "faxcourier/settings/fax_job.h"
#include "faxcourier/settings/settings.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/quit_request.h"
#include "faxcourier/widgets/testing/scripted_ui.h"
#include "platform/paths.h"
#include "platform/testing/test_support.h"
#include "tools/korva-sim/testing/korva_sim_process.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <tiffio.h>

using namespace korva;
using namespace korva::app;
using namespace korva::app::testing;
using korva::testing::binPath;
using korva::testing::KorvaSimProcess;
using korva::testing::runProcess;
using korva::testing::TempHome;

namespace {

// A one-page Group 3 fax document, as the conversion makes them.
void writeFaxTiff(const std::string& path)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 1728u);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 200u);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 200.0f);
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 192.0f);
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    std::vector<unsigned char> row(1728 / 8);
    for (uint32_t y = 0; y < 200; ++y) {
        for (size_t x = 0; x < row.size(); ++x)
            row[x] = static_cast<unsigned char>((x + y) % 7 == 0 ? 0xF0 : 0);
        ASSERT_EQ(TIFFWriteScanline(tiff, row.data(), y, 0), 1);
    }
    TIFFClose(tiff);
}

QWidget* topLevel(const char* objectName)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    return nullptr;
}

// Records the object name of every top-level window that is shown.
class ShownWindows : public QObject {
public:
    ShownWindows() { QCoreApplication::instance()->installEventFilter(this); }
    ~ShownWindows() override { QCoreApplication::instance()->removeEventFilter(this); }
    std::vector<QString> names;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            names.push_back(watched->objectName());
        return false;
    }
};

class InProcessCourier : public ::testing::Test {
protected:
    InProcessCourier() : received(home.path() + "/received"), sim(received, "anna", "s3cret", "fax@korva.example") {}

    void SetUp() override
    {
        testApplication();
        globalFaxJob() = FaxJob{};
        globalSettings() = Settings{};
        Settings settings;
        settings.Server = "127.0.0.1";
        settings.SMTPServerPort = uint32_t(sim.port("smtp"));
        settings.Username = "anna";
        settings.Password = "s3cret";
        settings.EmailAddress = "anna@example.com";
        settings.FaxAddress = "fax@korva.example";
        ASSERT_TRUE(SaveSettings(settings));
        resetQuitRequest();
        courier = makeProgramCourier();
        courier->startUp({});
        ASSERT_TRUE(courier->watcherRunning());
    }

    void TearDown() override
    {
        requestQuit();
        EXPECT_EQ(courier->runAndShutDown(), 0);
        courier.reset();
        resetQuitRequest();
    }

    void preset(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> argv{binPath("faxpreset")};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        auto result = runProcess(argv);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }

    void print(const std::string& name)
    {
        auto result = runProcess({binPath("faxprint"), "--name", name, KORVA_SAMPLE_LETTER});
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }

    bool receivedFax(int number)
    {
        char name[32];
        std::snprintf(name, sizeof name, "/%04d.json", number);
        return processEventsUntil([&] { return std::filesystem::exists(received + name); }, std::chrono::seconds(30));
    }

    std::vector<std::string> spoolTifFiles()
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(*spoolFolder()))
            if (entry.path().extension() == ".tif")
                names.push_back(entry.path().filename());
        return names;
    }

    TempHome home;
    std::string received;
    KorvaSimProcess sim;
    ScriptedUi ui;
    std::unique_ptr<Courier> courier;
};

TEST_F(InProcessCourier, PresetRecipientsSendWithNoWindowShownAndTheFilesDeleted)
{
    ShownWindows shown;
    globalFaxJob().comments = "left by an earlier dialog";
    preset({"-s", "Preset", "-r", "0301 555~Berta Blau~Blau KG"});
    print("letter");
    ASSERT_TRUE(receivedFax(1));
    ASSERT_TRUE(processEventsUntil([&] { return spoolTifFiles().empty(); }));
    EXPECT_TRUE(shown.names.empty()) << shown.names.front().toStdString();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(globalFaxJob().documents.empty());
    EXPECT_TRUE(globalFaxJob().recipients.empty());
    EXPECT_TRUE(globalFaxJob().comments.IsEmpty()) << "an old comment never rides on a scripted fax";
    std::string message = korva::testing::readWholeFile(received + "/0001.eml");
    EXPECT_EQ(message.find("left by an earlier dialog"), std::string::npos);
}

TEST_F(InProcessCourier, InteractiveFaxTakesASecondDocumentAndIsSentFromTheDialog)
{
    ShownWindows shown;
    preset({"-flush"});
    std::vector<QString> totals;
    QString questionOwner;
    ui.onBox = [&](const BoxRequest& box) { questionOwner = box.owner ? box.owner->objectName() : QString(); };
    ui.answer(Answer::Yes);
    whenShown("SendFaxDialog", [&](QWidget* dialog) {
        auto* total = dialog->findChild<QLineEdit*>(controlName(IDC_TOTAL_PAGES));
        processEventsUntil([&] { return total->text() == "2 pages"; });
        totals.push_back(total->text());
        // A second print while the dialog is open: asked, then added.
        print("second");
        processEventsUntil([&] { return total->text() == "4 pages"; });
        totals.push_back(total->text());
        EXPECT_TRUE(dialog->isEnabled());
        dialog->findChild<QLineEdit*>(controlName(IDC_RECIPIENT_NAME))->setText("Carl Cyan");
        dialog->findChild<QLineEdit*>(controlName(IDC_RECIPIENT_FAX))->setText("0402 666");
        dialog->findChild<QPushButton*>(controlName(IDC_ADD_RECIPIENT))->click();
        dialog->findChild<QLineEdit*>(controlName(IDC_SUBJECT))->setText("From the dialog");
        dialog->findChild<QPushButton*>(controlName(IDOK))->click();
    });
    print("first");
    ASSERT_TRUE(receivedFax(1));
    ASSERT_TRUE(processEventsUntil([&] { return spoolTifFiles().empty(); }));
    EXPECT_EQ(modalTimeouts(), 0);
    EXPECT_EQ(totals, (std::vector<QString>{"2 pages", "4 pages"}));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "KORVA Fax");
    EXPECT_EQ(ui.boxes[0].text.left(40), "An fax is already being prepared to send");
    EXPECT_EQ(questionOwner, "SendFaxDialog");
    // The progress dialog came first, the Send Fax dialog after it, and a
    // second progress dialog for the added document.
    EXPECT_EQ(std::count(shown.names.begin(), shown.names.end(), "ProgressDialog"), 2);
    EXPECT_EQ(std::count(shown.names.begin(), shown.names.end(), "SendFaxDialog"), 1);
    std::string message = korva::testing::readWholeFile(received + "/0001.eml");
    EXPECT_NE(message.find("From the dialog"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(received + "/0001-korvafax_1.tif"));
    EXPECT_EQ(std::filesystem::exists(received + "/0001-korvafax_3.tif"), true) << "the second document";
    EXPECT_TRUE(globalFaxJob().documents.empty());
}

TEST_F(InProcessCourier, CancelDeletesTheConvertedFilesAndSendsNothing)
{
    preset({"-flush"});
    bool sawDocument = false;
    whenShown("SendFaxDialog", [&](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>(controlName(IDC_DOCUMENT_LIST));
        processEventsUntil([&] { return list->count() == 1; });
        sawDocument = list->count() == 1 && list->item(0)->text() == "letter (2)";
        dialog->findChild<QPushButton*>(controlName(IDCANCEL))->click();
    });
    print("letter");
    ASSERT_TRUE(processEventsUntil([&] { return sawDocument && spoolTifFiles().empty(); }));
    EXPECT_EQ(modalTimeouts(), 0);
    EXPECT_TRUE(globalFaxJob().documents.empty());
    EXPECT_FALSE(std::filesystem::exists(received + "/0001.eml"));
}

TEST_F(InProcessCourier, RefusedAutomaticFaxOpensTheDialogWithEverythingKept)
{
    globalSettings().Password = "wrong";
    preset({"-s", "Refused first", "-r", "0301 555~Berta Blau~Blau KG"});
    bool sawEverything = false;
    whenShown("SendFaxDialog", [&](QWidget* dialog) {
        auto* documents = dialog->findChild<QListWidget*>(controlName(IDC_DOCUMENT_LIST));
        auto* recipients = dialog->findChild<QTreeWidget*>(controlName(IDC_RECIPIENT_LIST));
        processEventsUntil([&] { return documents->count() == 1; });
        sawEverything = documents->count() == 1 && recipients->topLevelItemCount() == 1 &&
                        dialog->findChild<QLineEdit*>(controlName(IDC_SUBJECT))->text() == "Refused first" &&
                        spoolTifFiles().size() == 1;
        // The user mends the password (the Configure dialog's part) and sends again.
        globalSettings().Password = "s3cret";
        dialog->findChild<QPushButton*>(controlName(IDOK))->click();
    });
    print("letter");
    ASSERT_TRUE(receivedFax(1));
    EXPECT_TRUE(sawEverything) << "the refused fax waits in the dialog with its document, subject and recipient";
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes[0].text.left(25), "Error logging on to KORVA");
    std::string message = korva::testing::readWholeFile(received + "/0001.eml");
    EXPECT_NE(message.find("Refused first"), std::string::npos);
    EXPECT_NE(message.find("Berta Blau"), std::string::npos);
    ASSERT_TRUE(processEventsUntil([&] { return spoolTifFiles().empty(); }));
}

}  // namespace

// A fax refused for its log-on waits in the outbox. From the Outbox window,
// Retry Now reaches the server and is refused again; opened in Send Fax
// with the password mended it is sent, leaves the outbox and is noted as
// sent by hand.
TEST_F(InProcessCourier, ARefusedFaxFromTheOutboxWindowIsSentFromTheDialogOnceThePasswordIsMended)
{
    globalSettings().Password = "wrong";
    FaxJob job;
    job.subject = "From the outbox";
    job.recipients = {"0301 555~Berta Blau~Blau KG"};
    const std::string file = *spoolFolder() + "/kept.tif";
    writeFaxTiff(file);
    job.documents = {FaxDocument{"letter", file.c_str(), 1}};
    ASSERT_TRUE(courier->outbox()->keep(job, SubmitReport{SubmitFailure::Permanent, "the log-on was refused"}));

    courier->openOutboxWindow();
    QWidget* window = topLevel("OutboxWindow");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(showActive(window));
    auto* entries = window->findChild<QTreeWidget*>("entries");
    ASSERT_EQ(entries->topLevelItemCount(), 1);
    pressKey(Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(processEventsUntil([&] {
        return !courier->outbox()->running() && courier->outbox()->list().size() == 1 &&
               courier->outbox()->list()[0].attempts == 2 && entries->topLevelItem(0) &&
               entries->topLevelItem(0)->text(5) == "2";
    })) << "Retry Now reached the server, which refused the log-on again";

    whenShown("SendFaxDialog", [&](QWidget* dialog) {
        globalSettings().Password = "s3cret";  // the Configure dialog's part
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        QTest::keyClick(dialog->findChild<QLineEdit*>(controlName(IDC_SUBJECT)), Qt::Key_E, Qt::AltModifier);
    });
    pressKey(Qt::Key_O, Qt::AltModifier);
    ASSERT_TRUE(receivedFax(1));
    ASSERT_TRUE(processEventsUntil([&] { return courier->outbox()->list().empty(); }));
    EXPECT_EQ(modalTimeouts(), 0);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_NE(korva::testing::readWholeFile(received + "/0001.eml").find("From the outbox"), std::string::npos);
    std::vector<SentRecord> sent = SentJournal(SentJournal::defaultPath()).read();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].how, SentHow::ByHand);
    EXPECT_EQ(sent[0].recipients, std::vector<std::string>{"Berta Blau"});
    EXPECT_TRUE(globalFaxJob().documents.empty());
}

// The program ends (SIGTERM) while an outbox entry is open in Send Fax: the
// entry keeps what the dialog held and goes back to the state it had, or
// waits for the dialog when no recipient is left.
struct EndedInDialog {
    const char* name;
    SubmitFailure failure;
    bool removeRecipient;
    OutboxState expected;
};

void PrintTo(const EndedInDialog& ended, std::ostream* out) { *out << ended.name; }

class OutboxFaxInDialogAtTheEnd : public InProcessCourier, public ::testing::WithParamInterface<EndedInDialog> {};

TEST_P(OutboxFaxInDialogAtTheEnd, KeepsTheDialogsTextsAndItsState)
{
    const EndedInDialog& c = GetParam();
    globalSettings().Password = "wrong";  // a retry meanwhile would show
    FaxJob job;
    job.subject = "Before";
    job.recipients = {"0301 555~Berta Blau~Blau KG"};
    const std::string file = *spoolFolder() + "/kept.tif";
    writeFaxTiff(file);
    job.documents = {FaxDocument{"letter", file.c_str(), 1}};
    ASSERT_TRUE(courier->outbox()->keep(job, SubmitReport{c.failure, "the server did not answer"}));
    const OutboxEntry before = courier->outbox()->list().at(0);

    courier->openOutboxWindow();
    QWidget* window = topLevel("OutboxWindow");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(showActive(window));
    whenShown("SendFaxDialog", [&](QWidget* dialog) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        auto* subject = dialog->findChild<QLineEdit*>(controlName(IDC_SUBJECT));
        subject->setFocus();
        subject->selectAll();
        QTest::keyClicks(subject, "Mended");
        if (c.removeRecipient) {
            auto* recipients = dialog->findChild<QTreeWidget*>(controlName(IDC_RECIPIENT_LIST));
            QTest::mouseClick(recipients->viewport(), Qt::LeftButton, {},
                              recipients->visualItemRect(recipients->topLevelItem(0)).center());
            QTest::mouseClick(dialog->findChild<QPushButton*>(controlName(IDC_REMOVE_RECIPIENT)), Qt::LeftButton);
            EXPECT_EQ(recipients->topLevelItemCount(), 0);
        }
        std::raise(SIGTERM);
    });
    pressKey(Qt::Key_O, Qt::AltModifier);
    ASSERT_TRUE(processEventsUntil([] { return quitRequested(); }));
    EXPECT_EQ(modalTimeouts(), 0);

    OutboxEntry after;
    ASSERT_TRUE(Outbox(*spoolFolder()).load(before.id, after).ok());
    EXPECT_EQ(after.state, c.expected);
    EXPECT_STREQ(after.job.subject.Text(), "Mended");
    EXPECT_EQ(after.job.recipients.empty(), c.removeRecipient);
    EXPECT_EQ(after.job.documents.size(), 1u);
    if (c.expected != OutboxState::NeedsDialog) {
        EXPECT_EQ(after.attempts, before.attempts);
        EXPECT_EQ(after.nextTry, before.nextTry);
        EXPECT_EQ(after.reason, before.reason);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutboxFaxInDialogAtTheEnd,
    ::testing::Values(EndedInDialog{"Waiting", SubmitFailure::Transient, false, OutboxState::Waiting},
                      EndedInDialog{"Refused", SubmitFailure::Permanent, false, OutboxState::Refused},
                      EndedInDialog{"NoRecipientLeft", SubmitFailure::Transient, true, OutboxState::NeedsDialog}),
    [](const ::testing::TestParamInfo<EndedInDialog>& info) { return info.param.name; });
