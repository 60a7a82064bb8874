#include "faxcourier/app/program_info.h"

#include <gtest/gtest.h>

using namespace korva::app;

namespace {

struct CommandLineCase {
    std::vector<std::string> arguments;
    bool taken;
};

TEST(CommandLine, TakesOnlyTheOptionsItKnows)
{
    const CommandLineCase cases[] = {
        {{}, true},
        {{"--configure"}, true},
        {{"--address-book", "--debug"}, true},
        {{"-debug", "--configure"}, true},
        {{"x-debugy"}, true},
        {{"--outbox-drop", "20261208-1"}, true},
        {{"--outbox-window"}, true},
        {{"--sent"}, true},
        {{"--quit"}, true},
        {{"--bogus"}, false},
        {{"--configure", "extra"}, false},
        {{"-configure"}, false},
        {{"--outbox-drop"}, false},
        {{"--DEBUG"}, false},
    };
    for (const CommandLineCase& c : cases) {
        std::string shown;
        for (const std::string& argument : c.arguments)
            shown += argument + " ";
        EXPECT_EQ(!commandLineError(c.arguments).has_value(), c.taken) << shown;
    }
}

TEST(CommandLine, UsageListsEveryTakenOptionInOneStyle)
{
    const std::string usage = usageText();
    size_t listed = 0;
    for (size_t at = usage.find("\n  "); at != std::string::npos; at = usage.find("\n  ", at + 1)) {
        if (usage[at + 3] == ' ')
            continue;  // a help text's second line
        std::string option = usage.substr(at + 3, usage.find(' ', at + 3) - at - 3);
        EXPECT_EQ(option.rfind("--", 0), 0u) << option;
        std::vector<std::string> arguments{option};
        if (option == "--outbox-drop")
            arguments.push_back("ID");
        EXPECT_FALSE(commandLineError(arguments)) << option;
        ++listed;
    }
    EXPECT_GE(listed, 11u) << usage;
}

}  // namespace
