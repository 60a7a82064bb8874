#include "tools/cups/job_user.h"

#include "platform/testing/test_support.h"
#include "tools/cups/testing/value_or_why.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korva::cups;
using korva::cups::testing::valueOrWhy;
using korva::testing::fileMode;
using korva::testing::TempHome;

namespace {

// Variables the job environment changes beyond those TempHome restores.
class SavedEnvironment {
public:
    SavedEnvironment()
    {
        for (const char* name : names)
            if (const char* v = std::getenv(name))
                saved_.emplace_back(name, v);
    }
    ~SavedEnvironment()
    {
        for (const char* name : names)
            unsetenv(name);
        for (auto& [k, v] : saved_)
            setenv(k.c_str(), v.c_str(), 1);
    }

private:
    static constexpr const char* names[] = {"USER", "LOGNAME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"};
    std::vector<std::pair<std::string, std::string>> saved_;
};

JobUser selfIn(const TempHome& home)
{
    struct passwd* pw = getpwuid(getuid());
    return JobUser{pw ? pw->pw_name : "me", getuid(), getgid(), home.path()};
}

}  // namespace

TEST(JobUser, KnownUserHasPasswdEntry)
{
    struct passwd* pw = getpwuid(getuid());
    ASSERT_NE(pw, nullptr);
    std::string why;
    auto user = valueOrWhy(findJobUser(pw->pw_name), why);
    ASSERT_TRUE(user) << why;
    EXPECT_EQ(user->uid, pw->pw_uid);
    EXPECT_EQ(user->gid, pw->pw_gid);
    EXPECT_EQ(user->home, pw->pw_dir);
}

TEST(JobUser, UnknownUserIsNamedInTheReason)
{
    std::string why;
    EXPECT_FALSE(valueOrWhy(findJobUser("korvafax-no-such-user"), why));
    EXPECT_EQ(why, "user \"korvafax-no-such-user\" is not known on this system");
}

TEST(JobUser, EnvironmentFollowsThePasswdEntry)
{
    TempHome home;
    SavedEnvironment saved;
    setenv("XDG_RUNTIME_DIR", "/run/user/0", 1);
    setenv("TMPDIR", "/var/spool/cups/tmp", 1);
    setJobUserEnvironment(JobUser{"anna", 1234, 1234, "/home/anna"});
    EXPECT_STREQ(std::getenv("HOME"), "/home/anna");
    EXPECT_STREQ(std::getenv("USER"), "anna");
    EXPECT_STREQ(std::getenv("LOGNAME"), "anna");
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"})
        EXPECT_EQ(std::getenv(name), nullptr) << name;
}

TEST(JobUser, SpoolFolderIsCreatedPrivate)
{
    TempHome home;
    SavedEnvironment saved;
    JobUser me = selfIn(home);
    setJobUserEnvironment(me);
    std::string why;
    auto spool = valueOrWhy(prepareSpoolFolder(me), why);
    ASSERT_TRUE(spool) << why;
    EXPECT_EQ(*spool, home.path() + "/.local/share/KORVAFax");
    EXPECT_EQ(fileMode(*spool), 0700u);
    EXPECT_TRUE(valueOrWhy(prepareSpoolFolder(me), why)) << why;
}

TEST(JobUser, SpoolFolderOpenToOthersIsRefused)
{
    TempHome home;
    SavedEnvironment saved;
    JobUser me = selfIn(home);
    setJobUserEnvironment(me);
    std::filesystem::create_directories(home.spool());
    chmod(home.spool().c_str(), 0777);
    std::string why;
    EXPECT_FALSE(valueOrWhy(prepareSpoolFolder(me), why));
    EXPECT_EQ(why, "The spool folder " + home.spool() +
                       " is writable by other users (mode 0777); KORVA Fax will not use it.");
}

TEST(JobUser, SpoolFolderThatIsALinkOrFileIsRefused)
{
    TempHome home;
    SavedEnvironment saved;
    JobUser me = selfIn(home);
    setJobUserEnvironment(me);
    std::filesystem::create_directories(home.path() + "/.local/share");
    std::filesystem::create_directories(home.path() + "/elsewhere");
    std::filesystem::create_directory_symlink(home.path() + "/elsewhere", home.spool());
    std::string why;
    EXPECT_FALSE(valueOrWhy(prepareSpoolFolder(me), why));
    EXPECT_EQ(why, "The spool folder " + home.spool() + " is not a folder; KORVA Fax will not use it.");
    std::filesystem::remove(home.spool());
    korva::testing::writeWholeFile(home.spool(), "");
    EXPECT_FALSE(valueOrWhy(prepareSpoolFolder(me), why));
}

TEST(JobUser, SpoolFolderOfAnotherUserIsRefused)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    TempHome home;
    SavedEnvironment saved;
    JobUser other{"other", 54399, 54399, home.path()};
    setJobUserEnvironment(other);
    std::filesystem::create_directories(home.spool());
    chmod(home.spool().c_str(), 0700);
    std::string why;
    EXPECT_FALSE(valueOrWhy(prepareSpoolFolder(other), why));
    EXPECT_EQ(why, "The spool folder " + home.spool() + " is not owned by other; KORVA Fax will not use it.");
}

TEST(JobUser, UserWithoutHomeHasNoSpoolFolder)
{
    std::string why;
    EXPECT_FALSE(valueOrWhy(prepareSpoolFolder(JobUser{"daemon", 1, 1, ""}), why));
    EXPECT_EQ(why, "daemon has no home folder");
}

TEST(JobUser, UnprivilegedProcessCarriesOnOnlyAsItself)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "as root the switch would be for good; the backend tests cover it";
    std::string why;
    EXPECT_TRUE(valueOrWhy(becomeJobUser(JobUser{"me", getuid(), getgid(), "/"}), why)) << why;
    EXPECT_FALSE(valueOrWhy(becomeJobUser(JobUser{"other", getuid() + 1, getgid(), "/"}), why));
    EXPECT_NE(why.find("mode 0700 or 0500"), std::string::npos);
}
