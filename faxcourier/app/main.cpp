// faxcourier: runs in the background for the logged-on user, turns printed
// documents into faxes and sends them.

#include "faxcourier/addressbook/address_book_install.h"
#include "faxcourier/app/courier_bus.h"
#include "faxcourier/app/password_keyring.h"
#include "faxcourier/app/program_courier.h"
#include "faxcourier/app/program_info.h"
#include "faxcourier/app/startup_rules.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/outbox/outbox_command.h"
#include "faxcourier/outbox/server_submitter.h"
#include "faxcourier/settings/settings.h"
#include "faxcourier/widgets/ui_language.h"
#include "faxcourier/widgets/ui_seam.h"
#include "platform/paths.h"
#include "platform/translation.h"

#include <QApplication>

#include <csignal>
#include <ctime>
#include <iostream>

namespace {

// --outbox, --outbox-retry, --outbox-drop ID, --sent: no window, no running mark;
// a retry takes the outbox's own lock, so it never races a running
// faxcourier for an entry. The application object is there for the
// keyring's jobs, which answer through an event loop.
int runOutboxCommandLine(int argc, char** argv, const std::vector<std::string>& arguments)
{
    QCoreApplication application(argc, argv);
    std::optional<std::string> spool = korva::spoolFolder();
    if (!spool) {
        std::cerr << korva::translated("FaxcourierMain", "faxcourier: the spool folder cannot be found or made")
                  << "\n";
        return 1;
    }
    korva::Settings& settings = korva::globalSettings();
    korva::LoadSettings(settings);
    korva::app::takePasswordFromKeyring(settings);
    korva::Outbox outbox(*spool);
    korva::SentJournal journal(korva::SentJournal::defaultPath());
    return korva::runOutboxCommand(arguments, std::cout, std::cerr, outbox, korva::serverSubmitter(settings),
                                   static_cast<int64_t>(std::time(nullptr)), journal,
                                   [](const std::string& line) { korva::LogAlways(0, "%s\n", line.c_str()); });
}

// --quit: the running faxcourier asks first when a fax is open, so the
// answer here only says whether one was reached.
int askRunningCourierToQuit(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (korva::app::courierOnBus() && korva::app::askRunningCourier("quit"))
        return 0;
    std::cerr << korva::translated("FaxcourierMain", "faxcourier does not run on this session bus; nothing to end")
              << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace korva::app;

    // libldap and OpenSSL write to their sockets with write(): a server
    // that hangs up must fail that write with EPIPE, not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (std::optional<std::string> error = commandLineError(arguments)) {
        std::cerr << korva::withArguments(korva::translated("FaxcourierMain", "faxcourier: %1"), {*error}) << "\n\n"
                  << usageText();
        return 2;
    }
    if (std::optional<std::string> info = programInfoRequested(arguments)) {
        std::cout << *info;
        return 0;
    }
    if (korva::isOutboxCommand(arguments))
        return runOutboxCommandLine(argc, argv, arguments);
    if (quitSwitchGiven(arguments))
        return askRunningCourierToQuit(argc, argv);
    setHeadless(chooseDisplayPlatform());
    keepLauncherActivationToken();
    QApplication application(argc, argv);
    // The window class stays "faxcourier"; the desktop matches the windows
    // to the menu entry korvafax.desktop through this name.
    QApplication::setApplicationName("faxcourier");
    QGuiApplication::setDesktopFileName("korvafax");
    installTranslations();
    korva::addressbook::installAddressBook();
    std::unique_ptr<Courier> courier = makeProgramCourier();
    courier->startUp(arguments);
    return courier->runAndShutDown();
}
