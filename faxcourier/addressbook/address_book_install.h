#pragma once
// Joins the address book to the rest of the program: the Send Fax dialog's
// "View Address Book" button opens the Fax Address Book, and the directory
// commands show their wait cursor through the user interface.

namespace korva::addressbook {

// Called once at start-up, after the application object exists.
void installAddressBook();

}  // namespace korva::addressbook
