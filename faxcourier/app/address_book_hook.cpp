#include "faxcourier/app/address_book_hook.h"

namespace korva::app {
namespace {

AddressBookOpener& installed()
{
    static AddressBookOpener opener;
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

}  // namespace korva::app
