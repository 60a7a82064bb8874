// A disk that fills while a page is written, played by a file size limit on
// a child process that prints through the loaded library.
#include "bandsink64/testing/sink_test_support.h"
#include "platform/courier_presence.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korva;
using namespace korva::testing;

namespace {

constexpr rlim_t kFileSizeLimit = 64 * 1024;

class DiskFullTest : public ::testing::Test {
protected:
    DiskFullTest()
    {
        std::filesystem::create_directories(home.spool());
        writeExitLogging(home.sysconf(), "1", logFile());
    }

    std::string watchFile() const { return home.spool() + "/korvafax.tif"; }
    std::string logFile() const { return home.path() + "/sink.log"; }
    std::string childErrors() const { return home.path() + "/child.err"; }

    // Prints one colour page of about 5 MB in four bands; the child's exit
    // code is the last band's result + 10, or 1 when a call went wrong (the
    // broken document must end with -1: it was not handed over).
    int printUnderLimit()
    {
        pid_t child = fork();
        if (child == 0) {
            int err = open(childErrors().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(err, 2);
            signal(SIGXFSZ, SIG_IGN);
            rlimit limit{kFileSizeLimit, kFileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            SinkLibrary sink;
            void* job = nullptr;
            if (sink.startDocExit(3, "too big", &job) != 0 || sink.startPageExit(&job) != 0)
                _exit(1);
            const int32_t width = 1728, rows = 250;
            std::vector<uint8_t> band(size_t(width) * 3 * rows, 0x80);
            int32_t result = 0;
            for (int b = 0; b < 4; ++b)
                result = sink.endPageExit(band.data(), rows, width, 5, 200, 200, b < 3, &job);
            if (sink.endDocExit(&job) != -1 || job != nullptr)
                _exit(1);
            _exit(10 + result);
        }
        int status = 0;
        if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
            return -1000;  // crashed
        return WEXITSTATUS(status) - 10;
    }

    std::vector<std::string> perJobFiles() const { return korva::testing::perJobFiles(home.spool()); }

    bool loggedCannotWrite() const
    {
        auto messages = logMessages(logFile());
        return std::any_of(messages.begin(), messages.end(),
                           [](const std::string& m) { return m.rfind("Cannot write ", 0) == 0; });
    }

    TempHome home;
};

TEST_F(DiskFullTest, BrokenPageIsNotHandedOverAndTheWaitingDocumentStays)
{
    writeWholeFile(watchFile(), "earlier document");
    CourierPresence courier(home.spool());
    ASSERT_TRUE(courier.held());

    EXPECT_EQ(printUnderLimit(), -2);

    EXPECT_EQ(readWholeFile(watchFile()), "earlier document");
    EXPECT_TRUE(perJobFiles().empty()) << "the broken print file is removed";
    EXPECT_FALSE(std::filesystem::exists(home.spool() + "/control.dat"));
    EXPECT_TRUE(loggedCannotWrite());
    std::string shown = readWholeFile(childErrors());
    EXPECT_NE(shown.find(": Cannot write "), std::string::npos) << shown;
    EXPECT_NE(shown.find("The document was not faxed."), std::string::npos) << shown;
}

TEST_F(DiskFullTest, WithoutCourierNothingBrokenAppears)
{
    EXPECT_EQ(printUnderLimit(), -2);
    EXPECT_FALSE(std::filesystem::exists(watchFile()));
    EXPECT_TRUE(perJobFiles().empty());
    EXPECT_TRUE(loggedCannotWrite());
}

}  // namespace
