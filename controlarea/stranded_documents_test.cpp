// Nothing printed stays where nothing takes it: each row is a file a killed
// printer or a broken keep leaves, and where it must end up.
#include "controlarea/stranded_documents.h"

#include "controlarea/waiting_documents.h"
#include "platform/spool_names.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace korva;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

namespace {

namespace fs = std::filesystem;

pid_t goneProcess()
{
    pid_t child = fork();
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

TEST(StrandedDocuments, FilesNothingWouldTakeGoToUnsentAndNoPrintIsDeleted)
{
    const std::string kept = "5000000000000000000";
    struct Row {
        const char* fault;
        std::string file;                 // relative to the spool folder
        std::vector<std::string> beside;  // also there, left alone
        bool stays;                       // where it is
        bool inUnsent;                    // else removed when it does not stay
    };
    const std::string dead = fs::path(jobFilePath("/s", "anna_b", 0x1234, goneProcess(), 3)).filename();
    const std::string living = fs::path(jobFilePath("/s", "anna", 0x1234, getpid(), 0)).filename();
    const std::vector<Row> rows = {
        {"half a print of a killed printer", dead, {}, false, true},
        {"a print being written", living, {}, true, false},
        {"a kept print without its record", "waiting/" + kept + ".tif", {}, false, true},
        {"a record without its kept print", "waiting/" + kept + ".dat", {}, false, false},
        {"a kept print with its record", "waiting/" + kept + ".tif", {"waiting/" + kept + ".dat"}, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        TempHome home;
        const std::string spool = home.spool();
        fs::create_directories(waitingFolder(spool));
        writeWholeFile(spool + "/" + row.file, "printed");
        for (const std::string& other : row.beside)
            writeWholeFile(spool + "/" + other, "other");

        auto swept = setAsideStrandedDocuments(spool);
        ASSERT_TRUE(swept.ok()) << swept.error().text;
        const StrandedDocuments& found = *swept;

        EXPECT_EQ(fs::exists(spool + "/" + row.file), row.stays);
        for (const std::string& other : row.beside)
            EXPECT_TRUE(fs::exists(spool + "/" + other)) << other;
        const size_t inUnsent = fs::exists(unsentFolder(spool))
                                    ? size_t(std::distance(fs::directory_iterator(unsentFolder(spool)), {}))
                                    : 0;
        EXPECT_EQ(inUnsent, row.inUnsent ? 1u : 0u);
        EXPECT_EQ(found.files.size(), inUnsent);
        EXPECT_EQ(strandedNotice(found).find(unsentFolder(spool)) != std::string::npos, row.inUnsent)
            << strandedNotice(found);
    }
}

}  // namespace
