#include "platform/paths.h"

#include "platform/file_ops.h"
#include "platform/testing/test_support.h"
#include "platform/user_name.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
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

TEST(Paths, RelativeXdgValuesAreIgnored)
{
    TempHome home;
    struct Case {
        const char* variable;
        std::string (*folder)();
        std::string fallback;
    };
    const Case cases[] = {
        {"XDG_DATA_HOME", dataHome, home.path() + "/.local/share"},
        {"XDG_CONFIG_HOME", configHome, home.path() + "/.config"},
        {"XDG_STATE_HOME", stateHome, home.path() + "/.local/state"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable);
        for (const char* relative : {"relative", "./here", "../up", "~/x"}) {
            setenv(c.variable, relative, 1);
            EXPECT_EQ(c.folder(), c.fallback) << relative;
        }
        setenv(c.variable, "/absolute/place", 1);
        EXPECT_EQ(c.folder(), "/absolute/place");
    }
}

TEST(Paths, SpoolFolderProblemNamesTheFolderAndWhy)
{
    TempHome home;
    const std::string folder = home.path() + "/spool", link = home.path() + "/link";
    const std::string refused = "; KORVA Fax will not use it.";
    ASSERT_TRUE(makeFolders(folder, 0700).ok());
    ASSERT_EQ(symlink(folder.c_str(), link.c_str()), 0);
    struct Case {
        std::string path;
        unsigned mode;
        std::string problem;
    };
    const Case cases[] = {
        {folder, 0700, ""},
        {folder, 0755, ""},
        {folder, 0777, "The spool folder " + folder + " is writable by other users (mode 0777)" + refused},
        {folder, 0720, "The spool folder " + folder + " is writable by other users (mode 0720)" + refused},
        {folder, 0702, "The spool folder " + folder + " is writable by other users (mode 0702)" + refused},
        {link, 0700, "The spool folder " + link + " is not a folder" + refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.mode));
        ASSERT_EQ(chmod(folder.c_str(), c.mode), 0);
        EXPECT_EQ(spoolFolderProblem(folder == c.path ? folder : link), c.problem);
    }
    ASSERT_EQ(chmod(folder.c_str(), 0700), 0);
    EXPECT_EQ(spoolFolderProblem(folder, geteuid() + 1, "bert"),
              "The spool folder " + folder + " is not owned by bert" + refused);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);  // nobody
        EXPECT_EQ(spoolFolderProblem(folder), "The spool folder " + folder + " is not owned by you" + refused);
    }
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
    ASSERT_TRUE(makeFolders(home.path() + "/.local/share", 0700).ok());
    korva::testing::writeWholeFile(home.spool(), "x");
    auto folder = spoolFolder();
    EXPECT_FALSE(folder);
    EXPECT_EQ(folder.code(), ENOTDIR);
}

TEST(FileOps, MoveAndDeleteReportErrno)
{
    TempHome home;
    std::string a = home.path() + "/a", b = home.path() + "/b";
    EXPECT_EQ(moveFile(a, b).code(), 2);
    EXPECT_EQ(deleteFile(a).code(), 2);
    korva::testing::writeWholeFile(a, "1");
    EXPECT_TRUE(moveFile(a, b).ok());
    EXPECT_FALSE(fileExists(a));
    EXPECT_EQ(korva::testing::readWholeFile(b), "1");
    EXPECT_TRUE(deleteFile(b).ok());
}

TEST(FileOps, AtomicWriteReplacesWholeWithTheGivenMode)
{
    TempHome home;
    std::string path = home.path() + "/data";
    korva::testing::writeWholeFile(path, "old content that is longer");
    ASSERT_TRUE(writeFileAtomically(path, "new", 3, 0600).ok());
    EXPECT_EQ(korva::testing::readWholeFile(path), "new");
    EXPECT_EQ(korva::testing::fileMode(path), 0600u);
    EXPECT_FALSE(writeFileAtomically(home.path() + "/missing/data", "x", 1, 0600).ok());
}

TEST(FileOps, OpenRegularFileRefusesAnythingElseWithoutWaiting)
{
    TempHome home;
    const std::string file = home.path() + "/file", fifo = home.path() + "/fifo", folder = home.path() + "/folder",
                      link = home.path() + "/link";
    korva::testing::writeWholeFile(file, "content");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_TRUE(makeFolders(folder, 0700).ok());
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    struct Case {
        std::string path;
        int flags;
        int result;  // 0: a descriptor
    };
    const Case cases[] = {
        {file, O_RDONLY, 0},
        {fifo, O_RDONLY, -EINVAL},
        {fifo, O_WRONLY | O_APPEND | O_CREAT, -ENXIO},  // no reader: refused by open itself
        {fifo, O_RDWR, -EINVAL},
        {folder, O_RDONLY, -EINVAL},
        {link, O_RDONLY, -ELOOP},
        {home.path() + "/absent", O_RDONLY, -ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.flags));
        auto fd = openRegularFile(c.path, c.flags);
        if (c.result == 0) {
            ASSERT_TRUE(fd.ok());
            EXPECT_EQ(fcntl(*fd, F_GETFL) & O_NONBLOCK, 0);
            EXPECT_NE(fcntl(*fd, F_GETFD) & FD_CLOEXEC, 0);
            close(*fd);
        } else {
            EXPECT_EQ(-fd.code(), c.result);
        }
    }
    // Truncation happens only to a regular file, after the check.
    auto fd = openRegularFile(file, O_WRONLY | O_TRUNC);
    ASSERT_TRUE(fd.ok());
    close(*fd);
    EXPECT_EQ(korva::testing::readWholeFile(file), "");
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
