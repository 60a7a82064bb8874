#include "faxcourier/app/program_info.h"

#include "platform/testing/test_support.h"

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

// --help and the command line's errors in the reader's language, a help
// text's later lines indented like the English ones.
TEST(CommandLine, HelpAndErrorsReadTheReadersLanguage)
{
    struct Case {
        const char* language;
        const char* usage;
        const char* secondLine;
        const char* error;
    };
    const Case cases[] = {
        {"de", "Aufruf: faxcourier [OPTION]\n", "\n                     \u00f6ffnet es das laufende Programm\n",
         "unbekannte Option \u201e--bogus\u201c"},
        {"fr", "Utilisation\u00a0: faxcourier [OPTION]\n",
         "\n                     est d\u00e9j\u00e0 lanc\u00e9, lui demander de l'ouvrir\n",
         "option inconnue \u00ab\u00a0--bogus\u00a0\u00bb"},
    };
    for (const Case& c : cases) {
        korva::testing::ReaderLanguage reader(c.language);
        const std::string usage = usageText();
        EXPECT_EQ(usage.rfind(c.usage, 0), 0u) << usage;
        EXPECT_NE(usage.find(c.secondLine), std::string::npos) << usage;
        EXPECT_EQ(commandLineError({"--bogus"}).value_or(""), c.error);
    }
}

}  // namespace
