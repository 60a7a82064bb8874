#include "tools/cups/system_accounts.h"

#include <gtest/gtest.h>

using namespace korva::cups;

namespace {

TEST(SystemAccounts, UidMinComesFromLoginDefs)
{
    const struct {
        const char* text;
        uid_t uidMin;
    } cases[] = {
        {"", 1000},
        {"UID_MIN\t\t\t 500\nUID_MAX 60000\n", 500},
        {"#UID_MIN 10\nSYS_UID_MIN 100\n", 1000},
        {"UID_MIN 2000 # local accounts\n", 2000},
        {"UID_MIN 0\n", 1000},
        {"UID_MIN -5\n", 1000},
        {"UID_MIN 12ab\n", 1000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(uidMinOf(c.text), c.uidMin) << c.text;
}

TEST(SystemAccounts, RootAndSystemAccountsAreRefused)
{
    const struct {
        JobUser user;
        uid_t uidMin;
        const char* why;
    } cases[] = {
        {{"root", 0, 0, "/root"},
         1000,
         "the job's user root is root or a system account (user id below 1000); KORVA Fax does not print for it"},
        {{"lp", 7, 7, "/var/spool/lpd"},
         1000,
         "the job's user lp is root or a system account (user id below 1000); KORVA Fax does not print for it"},
        {{"anna", 999, 999, "/home/anna"},
         1000,
         "the job's user anna is root or a system account (user id below 1000); KORVA Fax does not print for it"},
        {{"anna", 1000, 1000, "/home/anna"}, 1000, ""},
        {{"carl", 600, 600, "/home/carl"}, 500, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(systemAccountRefusal(c.user, c.uidMin), c.why) << c.user.name;
}

}  // namespace
