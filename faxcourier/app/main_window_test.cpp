// The hidden main window and the progress dialog: their names, the posted
// messages they take, and what a close request does.

#include "faxcourier/app/arrival_ui.h"
#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/main_window.h"
#include "faxcourier/app/pipeline_converter.h"
#include "faxcourier/app/private_message.h"
#include "faxcourier/app/progress_dialog.h"
#include "faxcourier/pipeline/testing/test_tiffs.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/quit_request.h"
#include "faxcourier/widgets/testing/scripted_ui.h"
#include "platform/file_ops.h"
#include "platform/testing/test_support.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

using namespace korva;
using namespace korva::app;
using namespace korva::app::testing;

namespace {

class Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApplication();
        resetQuitRequest();
    }
    void TearDown() override { resetQuitRequest(); }
};

TEST_F(Windows, MainWindowIsNamedAndNeverShown)
{
    MainWindow window;
    EXPECT_EQ(window.objectName(), "KORVAFaxClass2");
    EXPECT_EQ(window.windowTitle(), "KORVAFax");
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(Windows, DocumentWaitingPostedFromAnotherThreadRunsOnTheMainThread)
{
    MainWindow window;
    PostedMessageTarget target(&window);
    std::vector<QThread*> threads;
    window.setArrivalHandler([&] { threads.push_back(QThread::currentThread()); });
    std::thread watcher([&] { target.postMessage(kDocumentWaiting, 0); });
    watcher.join();
    EXPECT_TRUE(threads.empty()) << "posted, not sent";
    ASSERT_TRUE(processEventsUntil([&] { return !threads.empty(); }));
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_EQ(threads[0], QCoreApplication::instance()->thread());
}

TEST_F(Windows, CloseRequestEndsTheProgram)
{
    MainWindow window;
    EXPECT_FALSE(quitRequested());
    window.close();
    EXPECT_TRUE(quitRequested());
    // A test that starts again gets working loops back.
    resetQuitRequest();
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&] { dialog.done(5); });
    EXPECT_EQ(dialog.exec(), 5);
}

TEST_F(Windows, ProgressDialogAppearsWithTheRangeAndFollowsThePosition)
{
    ProgressDialog dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Fax Progress");
    EXPECT_EQ(dialog.findChild<QLabel*>("text")->text(), "The fax is being prepared for sending");
    EXPECT_FALSE(dialog.windowIcon().isNull());
    QProgressBar* bar = dialog.findChild<QProgressBar*>(controlName(IDC_PROGRESS_BAR));
    ASSERT_EQ(bar, dialog.bar());
    EXPECT_FALSE(dialog.isVisible()) << "created hidden";

    postMessage(&dialog, kProgressRange, 4);
    postMessage(&dialog, kProgressPosition, 3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 4);
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(dialog.findChild<QLabel*>("pages")->text(), "page 4 of 4");

    // Esc does not end a conversion's dialog.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
}

// Cancel stops a real conversion before its next page: nothing is stored
// and the print file is kept whole in unsent/, where the next run does not
// fax it.
TEST_F(Windows, ProgressCancelStopsTheConversionAndKeepsThePrintFile)
{
    korva::testing::TempHome home;
    const std::string printFile = home.path() + "/1.tif";
    const std::string target = home.path() + "/korvafax1.tif";
    std::vector<korva::testing::PrintPage> pages(60, {korva::testing::PrintFormat::Mono});
    ASSERT_TRUE(korva::testing::writePrintFile(printFile, pages));
    const qint64 printedSize = QFileInfo(QString::fromStdString(printFile)).size();
    PipelineState state;
    PipelineConverter converter(home.path(), state, nullptr);
    QtArrivalUi arrivalUi([] { return 0; }, false);
    QString shownPages;
    // Pressed as soon as the dialog shows: the page count is known then.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<ProgressDialog*>(window);
            if (!progress || !progress->isVisible() || shownPages.size())
                continue;
            shownPages = progress->findChild<QLabel*>("pages")->text();
            QTest::mouseClick(progress->findChild<QPushButton*>("cancel"), Qt::LeftButton);
        }
    });
    poll.start(1);
    auto conversion = arrivalUi.convertWithProgress(
        [&](ProgressTarget* progress) { return converter.start(printFile, {target}, progress, ""); });
    ASSERT_TRUE(conversion);
    EXPECT_TRUE(shownPages.endsWith(" of 60")) << shownPages.toStdString();
    EXPECT_TRUE(conversion->stopped());
    EXPECT_TRUE(conversion->cancelled());
    EXPECT_FALSE(fileExists(printFile));
    EXPECT_FALSE(fileExists(target));
    QDir unsent(QString::fromStdString(home.path() + "/unsent"));
    const QStringList kept = unsent.entryList({"*-1.tif"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1) << unsent.path().toStdString();
    EXPECT_EQ(QFileInfo(unsent.filePath(kept[0])).size(), printedSize);
}

}  // namespace
