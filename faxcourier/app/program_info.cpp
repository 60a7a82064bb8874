#include "faxcourier/app/program_info.h"

#include "platform/translation.h"

#include <algorithm>
#include <array>

namespace korva::app {
namespace {

struct Option {
    const char* name;
    const char* value;      // the argument that follows, or null
    std::string (*help)();  // in the reader's language; lines split by '\n'
};

constexpr std::array kOptions{
    Option{"--configure", nullptr,
           [] {
               return translated("ProgramInfo",
                                 "open the Configure dialog; when faxcourier runs already,\n"
                                 "ask it to open it (so does a second start without options)");
           }},
    Option{"--address-book", nullptr,
           [] {
               return translated("ProgramInfo",
                                 "open the Fax Address Book; when faxcourier runs already,\n"
                                 "ask it to open it");
           }},
    Option{"--outbox-window", nullptr,
           [] { return translated("ProgramInfo", "open the Outbox window of the running faxcourier"); }},
    Option{"--outbox", nullptr,
           [] { return translated("ProgramInfo", "list the faxes that wait to be sent, and why"); }},
    Option{"--outbox-retry", nullptr, [] { return translated("ProgramInfo", "send every waiting fax now"); }},
    Option{"--outbox-drop", "ID",
           [] { return translated("ProgramInfo", "remove the waiting fax ID and its documents"); }},
    Option{"--sent", nullptr, [] { return translated("ProgramInfo", "list the faxes the server accepted"); }},
    Option{"--quit", nullptr, [] { return translated("ProgramInfo", "ask the running faxcourier to end"); }},
    Option{"--debug", nullptr, [] { return translated("ProgramInfo", "write the debug log"); }},
    Option{"--help", nullptr, [] { return translated("ProgramInfo", "show this help and end"); }},
    Option{"--version", nullptr, [] { return translated("ProgramInfo", "show the version and end"); }},
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
    std::string text = translated("ProgramInfo",
                                  "Usage: faxcourier [OPTION]\n"
                                  "Runs in the background for the logged-on user, turns printed documents into\n"
                                  "faxes and sends them through the KORVA mail server.") +
                       "\n\n";
    const std::string indent(2 + kNameColumn, ' ');
    for (const Option& option : kOptions) {
        std::string name = option.name;
        if (option.value)
            name += std::string(" ") + option.value;
        name.resize(std::max(name.size() + 1, kNameColumn), ' ');
        std::string help = option.help();
        for (size_t at = 0; (at = help.find('\n', at)) != std::string::npos; at += 1 + indent.size())
            help.insert(at + 1, indent);
        text += "  " + name + help + "\n";
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
            return withArguments(translated("ProgramInfo", "unknown option '%1'"), {argument});
        if (option->value && ++i == arguments.size())
            return withArguments(translated("ProgramInfo", "option '%1' needs %2"), {argument, option->value});
    }
    return std::nullopt;
}

}  // namespace korva::app
