// faxcourier's informational options and its mistakes: they answer and end
// at once, without starting a faxcourier or leaving anything behind.

#include "faxcourier/app/testing/session_bus.h"
#include "platform/courier_presence.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

using korva::testing::binPath;
using korva::testing::runProcess;
using korva::testing::TempHome;

namespace {

TEST(CourierCommandLine, HelpListsTheOptionsAndEnds)
{
    TempHome home;
    auto result = runProcess({binPath("faxcourier"), "--help"}, "", {}, 10000);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    for (const char* option : {"--debug", "--configure", "--outbox ", "--outbox-retry", "--outbox-drop ID",
                               "--outbox-window", "--sent", "--quit", "--help", "--version"})
        EXPECT_NE(result.out.find(option), std::string::npos) << option << " missing from\n" << result.out;
    EXPECT_EQ(result.out.find(" -debug"), std::string::npos) << result.out;
    EXPECT_FALSE(std::filesystem::exists(korva::courierPresencePath(home.spool()))) << "it must not start";
}

TEST(CourierCommandLine, VersionNamesTheProjectVersionAndEnds)
{
    TempHome home;
    auto result = runProcess({binPath("faxcourier"), "--version"}, "", {}, 10000);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "faxcourier (KORVA Fax) " KORVA_VERSION "\n");
}

struct Mistake {
    std::vector<std::string> arguments;
    int exitCode;
    const char* onError;
};

// Nothing runs to take a --quit; the others are typing errors.
TEST(CourierCommandLine, MistakesEndAtOnceAndTouchNothing)
{
    const Mistake mistakes[] = {
        {{"--bogus"}, 2, "Usage: faxcourier"},
        {{"--configure", "--bogus"}, 2, "unknown option '--bogus'"},
        {{"--outbox-drop"}, 2, "Usage: faxcourier"},
        {{"--quit"}, 1, "faxcourier does not run"},
    };
    for (const Mistake& mistake : mistakes) {
        TempHome home;
        korva::app::testing::SessionBus bus;
        std::vector<std::string> argv{binPath("faxcourier")};
        argv.insert(argv.end(), mistake.arguments.begin(), mistake.arguments.end());
        auto result = runProcess(argv, "", {}, 10000);
        EXPECT_EQ(result.exitCode, mistake.exitCode) << mistake.arguments[0] << ": " << result.err;
        EXPECT_NE(result.err.find(mistake.onError), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        auto left = std::filesystem::recursive_directory_iterator(home.path());
        EXPECT_EQ(std::distance(begin(left), end(left)), 0) << mistake.arguments[0] << " left files in the home";
    }
}

}  // namespace
