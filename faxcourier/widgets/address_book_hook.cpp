#include "faxcourier/widgets/address_book_hook.h"

namespace korva::app {
namespace {

AddressBookOpener& installed()
{
    static AddressBookOpener opener;
    return opener;
}

AddressBookWindowOpener& installedWindow()
{
    static AddressBookWindowOpener opener;
    return opener;
}

}  // namespace

AddressBookOpener setAddressBookOpener(AddressBookOpener opener)
{
    AddressBookOpener previous = std::move(installed());
    installed() = std::move(opener);
    return previous;
}

const AddressBookOpener& addressBookOpener() { return installed(); }

AddressBookWindowOpener setAddressBookWindowOpener(AddressBookWindowOpener opener)
{
    AddressBookWindowOpener previous = std::move(installedWindow());
    installedWindow() = std::move(opener);
    return previous;
}

const AddressBookWindowOpener& addressBookWindowOpener() { return installedWindow(); }

}  // namespace korva::app
