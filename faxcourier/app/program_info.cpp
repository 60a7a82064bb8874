#include "faxcourier/app/program_info.h"

#include <array>

namespace korva::app {
namespace {

struct Option {
    const char* name;
    const char* value;  // the argument that follows, or null
    const char* help;   // later lines already indented
};

constexpr std::array kOptions{
    Option{"--configure", nullptr,
           "open the Configure dialog; when faxcourier runs already,\n"
           "                     ask it to open it (so does a second start without options)"},
    Option{"--address-book", nullptr,
           "open the Fax Address Book; when faxcourier runs already,\n"
           "                     ask it to open it"},
    Option{"--outbox-window", nullptr, "open the Outbox window of the running faxcourier"},
    Option{"--outbox", nullptr, "list the faxes that wait to be sent, and why"},
    Option{"--outbox-retry", nullptr, "send every waiting fax now"},
    Option{"--outbox-drop", "ID", "remove the waiting fax ID and its documents"},
    Option{"--sent", nullptr, "list the faxes the server accepted"},
    Option{"--quit", nullptr, "ask the running faxcourier to end"},
    Option{"--debug", nullptr, "write the debug log"},
    Option{"--help", nullptr, "show this help and end"},
    Option{"--version", nullptr, "show the version and end"},
};

constexpr size_t kNameColumn = 19;

const Option* findOption(const std::string& argument)
{
    for (const Option& option : kOptions)
        if (argument == option.name)
            return &option;
    return nullptr;
}

}  // namespace

std::string usageText()
{
    std::string text =
        "Usage: faxcourier [OPTION]\n"
        "Runs in the background for the logged-on user, turns printed documents into\n"
        "faxes and sends them through the KORVA mail server.\n"
        "\n";
    for (const Option& option : kOptions) {
        std::string name = option.name;
        if (option.value)
            name += std::string(" ") + option.value;
        name.resize(std::max(name.size() + 1, kNameColumn), ' ');
        text += "  " + name + option.help + "\n";
    }
    return text;
}

std::optional<std::string> programInfoRequested(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (argument == "--version")
            return "faxcourier (KORVA Fax) " KORVA_VERSION "\n";
        if (argument == "--help")
            return usageText();
    }
    return std::nullopt;
}

std::optional<std::string> commandLineError(const std::vector<std::string>& arguments)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.find("-debug") != std::string::npos)
            continue;
        const Option* option = findOption(argument);
        if (!option)
            return "unknown option '" + argument + "'";
        if (option->value && ++i == arguments.size())
            return "option '" + argument + "' needs " + option->value;
    }
    return std::nullopt;
}

}  // namespace korva::app
