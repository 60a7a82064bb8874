#include "faxcourier/app/program_info.h"

namespace korva::app {

std::optional<std::string> programInfoRequested(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (argument == "--version")
            return "faxcourier (KORVA Fax) " KORVA_VERSION "\n";
        if (argument == "--help")
            return "Usage: faxcourier [OPTION]\n"
                   "Runs in the background for the logged-on user, turns printed documents into\n"
                   "faxes and sends them through the KORVA mail server.\n"
                   "\n"
                   "  -debug             write the debug log\n"
                   "  --configure        open the Configure dialog; when faxcourier runs already,\n"
                   "                     ask it to open it (so does any second start)\n"
                   "  --address-book     open the Fax Address Book; when faxcourier runs already,\n"
                   "                     ask it to open it\n"
                   "  --outbox-window    open the Outbox window; when faxcourier runs already,\n"
                   "                     ask it to open it\n"
                   "  --outbox           list the faxes that wait to be sent, and why\n"
                   "  --outbox-retry     send every waiting fax now\n"
                   "  --outbox-drop ID   remove the waiting fax ID and its documents\n"
                   "  --sent             list the faxes the server accepted, newest first\n"
                   "  --help             show this help and end\n"
                   "  --version          show the version and end\n";
    }
    return std::nullopt;
}

}  // namespace korva::app
