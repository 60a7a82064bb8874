#include "platform/paths.h"

#include "platform/file_ops.h"
#include "platform/testing/test_support.h"
#include "platform/user_name.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

using namespace korva;
using korva::testing::TempHome;

TEST(Paths, FollowTheXdgVariablesWithHomeFallbacks)
{
    TempHome home;
    EXPECT_EQ(configHome(), home.configHome());
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_STATE_HOME");
    unsetenv("KORVAFAX_SYSCONFDIR");
    EXPECT_EQ(configHome(), home.path() + "/.config");
    EXPECT_EQ(dataHome(), home.path() + "/.local/share");
    EXPECT_EQ(stateHome(), home.path() + "/.local/state");
    EXPECT_EQ(sysconfDir(), "/etc/korvafax");
    setenv("XDG_DATA_HOME", "", 1);  // empty counts as unset
    EXPECT_EQ(dataHome(), home.path() + "/.local/share");
}

TEST(Paths, SpoolFolderIsCreatedPrivateWithItsParents)
{
    TempHome home;
    auto folder = spoolFolder();
    ASSERT_TRUE(folder);
    EXPECT_EQ(*folder, home.spool());
    EXPECT_EQ(korva::testing::fileMode(*folder), 0700u);
    EXPECT_TRUE(spoolFolder());  // and found again when present
}

TEST(Paths, SpoolFolderFailsWhenAFileIsInTheWay)
{
    TempHome home;
    ASSERT_EQ(makeFolders(home.path() + "/.local/share", 0700), 0);
    korva::testing::writeWholeFile(home.spool(), "x");
    EXPECT_FALSE(spoolFolder());
}

TEST(FileOps, MoveAndDeleteReportErrno)
{
    TempHome home;
    std::string a = home.path() + "/a", b = home.path() + "/b";
    EXPECT_EQ(moveFile(a, b), 2);
    EXPECT_EQ(deleteFile(a), 2);
    korva::testing::writeWholeFile(a, "1");
    EXPECT_EQ(moveFile(a, b), 0);
    EXPECT_FALSE(fileExists(a));
    EXPECT_EQ(korva::testing::readWholeFile(b), "1");
    EXPECT_EQ(deleteFile(b), 0);
}

TEST(FileOps, AtomicWriteReplacesWholeWithTheGivenMode)
{
    TempHome home;
    std::string path = home.path() + "/data";
    korva::testing::writeWholeFile(path, "old content that is longer");
    ASSERT_EQ(writeFileAtomically(path, "new", 3, 0600), 0);
    EXPECT_EQ(korva::testing::readWholeFile(path), "new");
    EXPECT_EQ(korva::testing::fileMode(path), 0600u);
    EXPECT_NE(writeFileAtomically(home.path() + "/missing/data", "x", 1, 0600), 0);
}

TEST(UserName, IsTheEffectiveUsersLoginName)
{
    std::string name = currentUserName();
    EXPECT_FALSE(name.empty());
    if (geteuid() == 0) {
        EXPECT_EQ(name, "root");
    } else if (const char* login = std::getenv("USER")) {
        EXPECT_EQ(name, login);
    }
}
