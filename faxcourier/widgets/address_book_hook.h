#pragma once
// Where the Send Fax dialog's "View Address Book" button leads. The address
// book installs its opener at start-up; until one is installed the button
// opens nothing and the log says so.

#include <functional>

class QTreeWidget;
class QWidget;

namespace korva::app {

// Shows the Fax Address Book modally, owned by `owner` (the Send Fax
// dialog); rows it adds go straight into `recipientList` (control 1000)
// through FindDuplicateRecipient and InsertRecipientRows. A null list: no
// fax is being prepared, and nothing can be added.
using AddressBookOpener = std::function<void(QWidget* owner, QTreeWidget* recipientList)>;

// Installs `opener` (empty: none) and returns the previous one.
AddressBookOpener setAddressBookOpener(AddressBookOpener opener);
const AddressBookOpener& addressBookOpener();

// Opens the Fax Address Book outside any fax, without an owner and without
// waiting for it; returns its window, which deletes itself when closed.
using AddressBookWindowOpener = std::function<QWidget*()>;
AddressBookWindowOpener setAddressBookWindowOpener(AddressBookWindowOpener opener);
const AddressBookWindowOpener& addressBookWindowOpener();

}  // namespace korva::app
