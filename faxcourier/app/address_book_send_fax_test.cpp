// The Fax Address Book opened from the Send Fax dialog, against korva-sim,
// on the offscreen platform.
#include "faxcourier/addressbook/address_book_dialog.h"
#include "faxcourier/addressbook/address_book_ids.h"
#include "faxcourier/addressbook/address_book_install.h"
#include "faxcourier/addressbook/testing/dialog_fixture.h"
#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/send_fax_dialog.h"
#include "faxcourier/settings/fax_job.h"
#include "faxcourier/settings/settings.h"
#include "faxcourier/widgets/address_book_hook.h"
#include "platform/testing/scoped_seam.h"

#include <QPointer>

using namespace korva;
using namespace korva::addressbook;
using namespace korva::addressbook::testing;
using korva::testing::SeedEntry;

namespace {

using AddressBook = DialogFixture;

}  // namespace

// The book's entries are shared by every open book: there is one at a
// time. Asked again from outside, the open one comes back; the Send Fax
// dialog's own takes the place of one opened from outside.
TEST_F(AddressBook, OneBookAtATimeWhereverItIsOpenedFrom)
{
    serve({person("Anna", "0301", "1", "Yarrow")});
    QPointer<QWidget> outside = app::addressBookWindowOpener()();
    ASSERT_NE(outside, nullptr);
    outside->show();
    EXPECT_EQ(app::addressBookWindowOpener()(), outside);
    FaxJob job;
    Settings settings;
    app::TifViewer tif;
    app::SendFaxDialog sendFax(job, settings, tif, app::SendFaxServices{});
    sendFax.initDialog();
    bool outsideShownWithIt = true;
    QWidget* sendFaxBook = nullptr;
    QWidget* askedAgain = nullptr;
    app::testing::whenModal("FaxAddressBookDialog", [&](QWidget* dialog) {
        outsideShownWithIt = outside && outside->isVisible();
        sendFaxBook = dialog;
        askedAgain = app::addressBookWindowOpener()();
        control(*static_cast<FaxAddressBookDialog*>(dialog), IDCANCEL)->click();
    });
    control(sendFax, app::IDC_VIEW_ADDRESS_BOOK)->click();
    EXPECT_FALSE(outsideShownWithIt);
    EXPECT_NE(sendFaxBook, nullptr);
    EXPECT_EQ(askedAgain, sendFaxBook);
    EXPECT_EQ(app::testing::modalTimeouts(), 0);
    QCoreApplication::processEvents();
}

TEST_F(AddressBook, OpensFromTheSendFaxDialogAndAddsToItsRecipients)
{
    serve({person("Anna", "0301", "1", "Yarrow")});
    korva::testing::ScopedSeam opener(app::setAddressBookOpener, {});
    installAddressBook();
    FaxJob job;
    Settings settings;
    app::TifViewer tif;
    app::SendFaxDialog sendFax(job, settings, tif, app::SendFaxServices{});
    sendFax.initDialog();
    bool closed = false;
    app::testing::whenModal("FaxAddressBookDialog", [&](QWidget* dialog) {
        auto* book = static_cast<FaxAddressBookDialog*>(dialog);
        EXPECT_EQ(book->recipientList(), sendFax.findChild<QTreeWidget*>("1000"));
        fill(*book);
        EXPECT_EQ(column(*book), QStringList{"Anna"});
        select(*book, {"Anna"});
        control(*book, IDC_ADD_TO_RECIPIENTS)->click();
        control(*book, IDCANCEL)->click();
        closed = true;
    });
    control(sendFax, app::IDC_VIEW_ADDRESS_BOOK)->click();
    EXPECT_TRUE(closed);
    EXPECT_EQ(app::testing::modalTimeouts(), 0);
    ASSERT_EQ(sendFax.recipientList()->rowCount(), 1);
    EXPECT_EQ(sendFax.recipientList()->cell(0, 0), "Anna");
    EXPECT_EQ(sendFax.recipientList()->cell(0, 1), "0301");
    EXPECT_EQ(sendFax.recipientList()->cell(0, 2), "Yarrow");
}
