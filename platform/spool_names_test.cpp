#include "platform/spool_names.h"

#include <gtest/gtest.h>

namespace korva {
namespace {

TEST(SpoolNames, EveryNameSitsInTheSpoolFolder)
{
    const std::string s = "/spool";
    EXPECT_EQ(controlFilePath(s), "/spool/control.dat");
    EXPECT_EQ(controlLockPath(s), "/spool/control.lock");
    EXPECT_EQ(watchFilePath(s), "/spool/korvafax.tif");
    EXPECT_EQ(jobFilePath(s, "anna", 0x1a2bul, 42, 3), "/spool/korvafax_anna_00001a2b_42_3.tif");
    EXPECT_EQ(workFilePath(s, 7), "/spool/korvafax7.tif");
    EXPECT_EQ(courierPresencePath(s), "/spool/korvafax.running");
    EXPECT_EQ(handOverLockPath(s), "/spool/handover.lock");
    EXPECT_EQ(waitingFolder(s), "/spool/waiting");
    EXPECT_EQ(unsentFolder(s), "/spool/unsent");
    EXPECT_EQ(outboxFolder(s), "/spool/outbox");
}

TEST(SpoolNames, JobAndWorkFilesAreToldFromEachOther)
{
    struct Case {
        const char* name;
        bool job;
        bool work;
    };
    for (const Case& c :
         {Case{"korvafax_anna_00001a2b_42_3.tif", true, false}, Case{"korvafax_.tif", false, false},
          Case{"korvafax12.tif", false, true}, Case{"korvafax.tif", false, false}, Case{"korvafax1a.tif", false, false},
          Case{"korvafax3.tiff", false, false}, Case{"korvafax.running", false, false}}) {
        EXPECT_EQ(isJobFileName(c.name), c.job) << c.name;
        EXPECT_EQ(isWorkFileName(c.name), c.work) << c.name;
    }
}

}  // namespace
}  // namespace korva
