// Renders each dialog on the offscreen platform into a PNG under
// build/screenshots/, and checks what was drawn: the picture has the
// dialog's size (and a title bar) and the controls the layout promises are inside it.

#include "faxcourier/app/configure_dialog.h"
#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/outbox_keeper.h"
#include "faxcourier/app/outbox_window.h"
#include "faxcourier/app/private_message.h"
#include "faxcourier/app/progress_dialog.h"
#include "faxcourier/app/send_fax_dialog.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/recipient_list.h"
#include "faxcourier/widgets/testing/scripted_ui.h"
#include "platform/testing/test_support.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <filesystem>

#include <gtest/gtest.h>

using namespace korva;
using namespace korva::app;
using namespace korva::app::testing;

namespace {

QString screenshotPath(const char* name) { return QStringLiteral(KORVA_SCREENSHOT_DIR "/") + name; }

constexpr int kTitleHeight = 24;

// The dialog's picture under a plain title bar with its icon and caption,
// which the offscreen platform does not draw itself.
QImage withTitleBar(QWidget& dialog, const QPixmap& content)
{
    QImage image(content.width(), content.height() + kTitleHeight, QImage::Format_RGB32);
    image.fill(dialog.palette().color(QPalette::Window));
    QPainter painter(&image);
    QRect bar(0, 0, image.width(), kTitleHeight);
    painter.fillRect(bar, dialog.palette().color(QPalette::Highlight));
    painter.drawPixmap(4, (kTitleHeight - 16) / 2, dialog.windowIcon().pixmap(16, 16));
    painter.setPen(dialog.palette().color(QPalette::HighlightedText));
    painter.drawText(bar.adjusted(26, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, dialog.windowTitle());
    painter.drawPixmap(0, kTitleHeight, content);
    return image;
}

// Shows the dialog offscreen, lets it settle and saves its picture.
QImage render(QWidget& dialog, const char* name)
{
    dialog.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(QDir().mkpath(QStringLiteral(KORVA_SCREENSHOT_DIR)));
    EXPECT_TRUE(withTitleBar(dialog, dialog.grab()).save(screenshotPath(name), "PNG"));
    return QImage(screenshotPath(name));
}

// True when the widget lies wholly inside the dialog's picture.
bool inside(QWidget& dialog, const QString& objectName)
{
    auto* widget = dialog.findChild<QWidget*>(objectName);
    if (!widget || !widget->isVisible())
        return false;
    QRect area(widget->mapTo(&dialog, QPoint(0, 0)), widget->size());
    return dialog.rect().contains(area);
}

// More than one colour: something was drawn.
bool hasContent(const QImage& image)
{
    QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}

class Screenshots : public ::testing::Test {
protected:
    void SetUp() override { testApplication(); }
    ScriptedUi ui;
};

TEST_F(Screenshots, ConfigureDialog)
{
    Settings settings;
    settings.Server = "mail.example.com";
    settings.Username = "anna";
    settings.Password = "s3cret";
    settings.EmailAddress = "anna@example.com";
    settings.FaxAddress = "fax@example.com";
    settings.RealName = "Anna Berg";
    settings.Company = "Berg & Co";
    settings.PhoneNumber = "+49 30 1234";
    settings.FaxNumber = "+49 30 1235";
    settings.CoverPages = "Standard\r\nUrgent";
    ConfigureDialog dialog(settings, nullptr, [](Settings&) { return true; });
    QImage image = render(dialog, "configure.png");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), dialog.size() + QSize(0, kTitleHeight));
    EXPECT_TRUE(hasContent(image));
    for (int id : {IDC_SERVER, IDC_SMTP_PORT, IDC_POP3_PORT, IDC_LDAP_PORT, IDC_USERNAME, IDC_PASSWORD,
                   IDC_EMAIL_ADDRESS, IDC_FAX_ADDRESS, IDC_REAL_NAME, IDC_COMPANY, IDC_PHONE_NUMBER, IDC_FAX_NUMBER,
                   IDC_COVER_PAGES, IDOK, IDCANCEL})
        EXPECT_TRUE(inside(dialog, controlName(id))) << id;
}

TEST_F(Screenshots, SendFaxDialogWithTwoDocumentsAndThreeRecipients)
{
    FaxJob job;
    job.subject = "Offer 17";
    job.coverPage = "Urgent";
    job.recipients = {"0301 555~Berta Blau~Blau KG", "0402 666~Carl Cyan~", "0503 777~Dora Dunkel~Dunkel AG"};
    FaxDocument letter, offer;
    letter.name = "Letter to Blau KG";
    letter.pages = 2;
    offer.name = "Offer 17.pdf";
    offer.pages = 3;
    job.documents = {letter, offer};
    Settings settings;
    settings.Server = "mail.example.com";
    settings.CoverPages = "Standard\r\nUrgent";
    TifViewer tif;
    tif.tifOpenAvailable = true;
    SendFaxDialog dialog(job, settings, tif, SendFaxServices{});
    dialog.initDialog();
    QImage image = render(dialog, "send_fax.png");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), dialog.size() + QSize(0, kTitleHeight));
    EXPECT_TRUE(hasContent(image));
    EXPECT_EQ(dialog.recipientList()->rowCount(), 3);
    EXPECT_EQ(dialog.findChild<QLineEdit*>(controlName(IDC_TOTAL_PAGES))->text(), "5 pages");
    for (int id : {IDC_SUBJECT, IDC_COMMENTS, IDC_CONFIGURE, IDC_VIEW_ADDRESS_BOOK, IDC_RECIPIENT_FAX,
                   IDC_RECIPIENT_NAME, IDC_RECIPIENT_COMPANY, IDC_RECIPIENT_LIST, IDC_ADD_RECIPIENT,
                   IDC_REPLACE_RECIPIENT, IDC_REMOVE_RECIPIENT, IDC_DOCUMENT_LIST, IDC_TOTAL_PAGES, IDC_DELETE_DOCUMENT,
                   IDC_PREVIEW, IDCANCEL, IDOK, IDC_COVER_PAGE_LABEL, IDC_COVER_PAGE_LIST})
        EXPECT_TRUE(inside(dialog, controlName(id))) << id;
    EXPECT_FALSE(inside(dialog, controlName(IDC_HIDDEN_EDIT_VIEW))) << "never shown";
}

TEST_F(Screenshots, ProgressDialog)
{
    ProgressDialog dialog(nullptr);
    PrivateMessage range(kProgressRange, 3);
    PrivateMessage position(kProgressPosition, 1);
    QCoreApplication::sendEvent(&dialog, &range);
    QCoreApplication::sendEvent(&dialog, &position);
    EXPECT_EQ(dialog.bar()->maximum(), 3);
    EXPECT_EQ(dialog.bar()->value(), 1);
    QImage image = render(dialog, "progress.png");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), dialog.size() + QSize(0, kTitleHeight));
    EXPECT_TRUE(hasContent(image));
    EXPECT_TRUE(inside(dialog, controlName(IDC_PROGRESS_BAR)));
}

// Two faxes in the outbox, a refused one and one waiting for the server,
// and what was sent before them.
TEST_F(Screenshots, OutboxWindow)
{
    korva::testing::TempHome home;
    std::filesystem::create_directories(home.spool());
    struct Fax {
        const char* subject;
        const char* recipient;
        OutboxState state;
        const char* reason;
    };
    int number = 0;
    for (const Fax& fax :
         {Fax{"Offer 17", "0301 555~Berta Blau~Blau KG", OutboxState::Refused, "the log-on was refused"},
          Fax{"Invoice 42", "0402 666~Carl Cyan~", OutboxState::Waiting, "the server did not answer"}}) {
        const std::string file = home.spool() + "/korvafax" + std::to_string(++number) + ".tif";
        korva::testing::writeWholeFile(file, "fax");
        FaxJob job;
        job.subject = fax.subject;
        job.recipients = {fax.recipient};
        job.documents = {FaxDocument{fax.subject, file.c_str(), 2}};
        ASSERT_TRUE(Outbox(home.spool()).add(job, fax.state, fax.reason, 1765137455 + number * 60));
    }
    OutboxKeeper keeper(home.spool(), [](FaxJob&) { return SubmitResult{}; });
    ASSERT_TRUE(keeper.journal().append(SentRecord{1765130000, SentHow::ByHand, 3, "Offer 16", {"Berta Blau"}}));
    OutboxWindow window(keeper, {});
    for (auto [tab, name] : {std::pair{0, "outbox.png"}, std::pair{1, "outbox_sent.png"}}) {
        window.findChild<QTabWidget*>()->setCurrentIndex(tab);
        QImage image = render(window, name);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), window.size() + QSize(0, kTitleHeight));
        EXPECT_TRUE(hasContent(image));
        for (const char* control : {"retry", "open", "delete"})
            EXPECT_EQ(inside(window, control), tab == 0) << control;
        EXPECT_TRUE(inside(window, "close"));
    }
    EXPECT_EQ(window.findChild<QTreeWidget*>("entries")->topLevelItemCount(), 2);
}

}  // namespace
