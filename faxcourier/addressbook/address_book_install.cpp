#include "faxcourier/addressbook/address_book_install.h"

#include "faxcourier/addressbook/address_book_dialog.h"
#include "faxcourier/app/address_book_hook.h"
#include "faxcourier/app/ui_seam.h"
#include "faxcourier/net/wait_cursor_hook.h"

namespace korva::addressbook {

void installAddressBook()
{
    app::setAddressBookOpener([](QWidget* owner, QTreeWidget* recipientList) {
        FaxAddressBookDialog dialog(owner, recipientList);
        dialog.exec();
    });
    setWaitCursorHooks([] { app::ui().pushWaitCursor(); }, [] { app::ui().popWaitCursor(); });
}

}  // namespace korva::addressbook
