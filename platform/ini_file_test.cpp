#include "platform/ini_file.h"
#include "platform/paths.h"

#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

using namespace korva;

namespace {

const char* sample =
    "; driver settings\r\n"
    "[Other]\r\n"
    "Level=9\r\n"
    "[ exitlogging ]\r\n"
    "  LEVEL =  3  \r\n"
    "LogFile=\"/var/log/bandsink 64.log\"\r\n"
    "Empty=\r\n";

}  // namespace

TEST(IniFile, SectionAndKeyNamesIgnoreCaseAndBlanks)
{
    EXPECT_EQ(profileStringFromText("ExitLogging", "Level", "", 10, sample), "3");
    EXPECT_EQ(profileStringFromText("EXITLOGGING", "logfile", "x", 260, sample), "/var/log/bandsink 64.log");
    EXPECT_EQ(profileStringFromText("Other", "level", "", 10, sample), "9");
}

TEST(IniFile, DefaultWhenSectionOrKeyIsMissingButNotWhenValueIsEmpty)
{
    EXPECT_EQ(profileStringFromText("ExitLogging", "Missing", "Bandsink64.log", 260, sample), "Bandsink64.log");
    EXPECT_EQ(profileStringFromText("Nowhere", "Level", "dflt", 260, sample), "dflt");
    EXPECT_EQ(profileStringFromText("ExitLogging", "Empty", "dflt", 260, sample), "");
}

TEST(IniFile, ValueAndDefaultAreCutToTheBuffer)
{
    EXPECT_EQ(profileStringFromText("ExitLogging", "LogFile", "", 5, sample), "/var");
    EXPECT_EQ(profileStringFromText("ExitLogging", "Nope", "abcdef", 4, sample), "abc");
    EXPECT_EQ(profileStringFromText("ExitLogging", "Level", "", 0, sample), "");
}

TEST(IniFile, ReadsFromTheSysconfFolderAndDefaultsWithoutAFile)
{
    korva::testing::TempHome home;
    EXPECT_EQ(jovprintIniPath(), home.sysconf() + "/JOVPRINT.INI");
    EXPECT_EQ(readProfileString("ExitLogging", "Level", "", 10, jovprintIniPath()), "");
    ASSERT_TRUE(makeFolders(home.sysconf(), 0755).ok());
    korva::testing::writeWholeFile(jovprintIniPath(), sample);
    EXPECT_EQ(readProfileString("ExitLogging", "Level", "", 10, jovprintIniPath()), "3");
}
