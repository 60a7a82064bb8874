// faxcourier: runs in the background for the logged-on user, turns printed
// documents into faxes and sends them.

#include "faxcourier/addressbook/address_book_install.h"
#include "faxcourier/app/program_courier.h"
#include "faxcourier/app/startup_rules.h"
#include "faxcourier/app/ui_seam.h"

#include <QApplication>

int main(int argc, char** argv)
{
    using namespace korva::app;

    std::vector<std::string> arguments(argv + 1, argv + argc);
    setHeadless(chooseDisplayPlatform());
    QApplication application(argc, argv);
    korva::addressbook::installAddressBook();
    std::unique_ptr<Courier> courier = makeProgramCourier();
    courier->startUp(arguments);
    return courier->runAndShutDown();
}
