// faxcourier's informational options: they answer on standard output and
// end at once, without starting a faxcourier.

#include "platform/courier_presence.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using korva::testing::binPath;
using korva::testing::runProcess;
using korva::testing::TempHome;

namespace {

TEST(CourierCommandLine, HelpListsTheOptionsAndEnds)
{
    TempHome home;
    auto result = runProcess({binPath("faxcourier"), "--help"}, "", {}, 10000);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    for (const char* option : {"-debug", "--configure", "--outbox ", "--outbox-retry", "--outbox-drop ID",
                               "--outbox-window", "--sent", "--help", "--version"})
        EXPECT_NE(result.out.find(option), std::string::npos) << option << " missing from\n" << result.out;
    EXPECT_FALSE(std::filesystem::exists(korva::courierPresencePath(home.spool()))) << "it must not start";
}

TEST(CourierCommandLine, VersionNamesTheProjectVersionAndEnds)
{
    TempHome home;
    auto result = runProcess({binPath("faxcourier"), "--version"}, "", {}, 10000);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "faxcourier (KORVA Fax) " KORVA_VERSION "\n");
}

}  // namespace
