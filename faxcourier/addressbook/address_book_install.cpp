#include "faxcourier/addressbook/address_book_install.h"

#include "faxcourier/addressbook/address_book_dialog.h"
#include "faxcourier/net/wait_cursor_hook.h"
#include "faxcourier/widgets/address_book_hook.h"
#include "faxcourier/widgets/ui_seam.h"

#include <QPointer>

namespace korva::addressbook {
namespace {

// One book at a time: every open book lists the same shared entries.
QPointer<QDialog> outsideBook;
QPointer<QDialog> sendFaxBook;

}  // namespace

void installAddressBook()
{
    // From the Send Fax dialog: modal to that dialog only, so that the
    // status icon and the windows opened from outside stay usable.
    // A book opened from outside gives way to it: only this one adds to the
    // fax.
    app::setAddressBookOpener([](QWidget* owner, QTreeWidget* recipientList) {
        if (outsideBook)
            outsideBook->close();
        FaxAddressBookDialog dialog(owner, recipientList);
        if (owner)
            dialog.setWindowModality(Qt::WindowModal);
        sendFaxBook = &dialog;
        dialog.exec();
    });
    // Outside any fax there is no recipient list: the book offers no adding.
    // Asked again, the open book comes back.
    app::setAddressBookWindowOpener([]() -> QWidget* {
        if (sendFaxBook)
            return sendFaxBook;
        if (outsideBook)
            return outsideBook;
        auto* dialog = new FaxAddressBookDialog(nullptr, nullptr);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        outsideBook = dialog;
        return dialog;
    });
    setWaitCursorHooks([] { app::ui().pushWaitCursor(); }, [] { app::ui().popWaitCursor(); });
}

}  // namespace korva::addressbook
