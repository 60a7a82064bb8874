#include "tools/cups/handover_check.h"

#include "platform/testing/test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace korva::cups;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

TEST(HandoverCheck, OnlyPerJobPrintFilesCount)
{
    TempHome home;
    const std::string spool = home.path() + "/spool";
    std::filesystem::create_directories(spool);
    for (const char* name : {"korvafax.tif", "korvafax3.tif", "control.dat", "korvafax_anna_0000beef.tif",
                             "korvafax_anna_0000beef.tif.bak", "korvafax_.tif"})
        writeWholeFile(spool + "/" + name, "x");
    EXPECT_EQ(printFilesIn(spool), (std::set<std::string>{"korvafax_anna_0000beef.tif"}));
    EXPECT_TRUE(printFilesIn(home.path() + "/missing").empty());
}

TEST(HandoverCheck, FileThatStayedSinceBeforeIsNotThisDocuments)
{
    TempHome home;
    const std::string spool = home.path() + "/spool";
    std::filesystem::create_directories(spool);
    writeWholeFile(spool + "/korvafax_anna_00000001.tif", "older");
    const auto before = printFilesIn(spool);
    EXPECT_FALSE(printFileLeftBehind(before, spool));
    writeWholeFile(spool + "/korvafax_anna_00000002.tif", "this job's");
    EXPECT_EQ(printFileLeftBehind(before, spool).value_or(""), "korvafax_anna_00000002.tif");
}
