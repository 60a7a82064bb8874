#include "faxcourier/addressbook/address_book_install.h"

#include "faxcourier/addressbook/address_book_dialog.h"
#include "faxcourier/app/address_book_hook.h"
#include "faxcourier/app/ui_seam.h"
#include "faxcourier/net/wait_cursor_hook.h"

#include <QTreeWidget>

namespace korva::addressbook {

void installAddressBook()
{
    // From the Send Fax dialog: modal to that dialog only, so that the
    // status icon and the windows opened from outside stay usable.
    app::setAddressBookOpener([](QWidget* owner, QTreeWidget* recipientList) {
        FaxAddressBookDialog dialog(owner, recipientList);
        if (owner)
            dialog.setWindowModality(Qt::WindowModal);
        dialog.exec();
    });
    // Outside any fax the rows it adds go to a list nobody sees.
    app::setAddressBookWindowOpener([]() -> QWidget* {
        auto* unusedRecipients = new QTreeWidget;
        auto* dialog = new FaxAddressBookDialog(nullptr, unusedRecipients);
        unusedRecipients->setParent(dialog);
        unusedRecipients->hide();
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        return dialog;
    });
    setWaitCursorHooks([] { app::ui().pushWaitCursor(); }, [] { app::ui().popWaitCursor(); });
}

}  // namespace korva::addressbook
