// A running faxcourier converts a print whose subject names a file target
// into that file, sets the print-finished event for the program that asked,
// and neither sends nor keeps a document.

#include "faxcourier/app/testing/courier_process.h"
#include "platform/paths.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <semaphore.h>

using namespace korva;
using namespace korva::app::testing;
using korva::testing::binPath;
using korva::testing::readWholeFile;
using korva::testing::runProcess;
using korva::testing::TempHome;

namespace {

constexpr char kFinishedEvent[] = "/KORVAFaxPrintFinished";

// Widths of the pages of a TIFF, empty when it cannot be read.
std::vector<uint32_t> pageWidths(const std::string& path)
{
    std::vector<uint32_t> widths;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return widths;
    do {
        uint32_t width = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
        widths.push_back(width);
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
    return widths;
}

// The outside program's side of the event: it creates it and waits on it.
class FinishedEvent {
public:
    FinishedEvent()
    {
        sem_unlink(kFinishedEvent);  // left over from a run that was killed
        sem_ = sem_open(kFinishedEvent, O_CREAT | O_EXCL, 0600, 0);
    }
    ~FinishedEvent()
    {
        if (sem_ != SEM_FAILED) {
            sem_close(sem_);
            sem_unlink(kFinishedEvent);
        }
    }
    bool created() const { return sem_ != SEM_FAILED; }
    bool wait(int seconds)
    {
        timespec deadline{};
        clock_gettime(CLOCK_REALTIME, &deadline);
        deadline.tv_sec += seconds;
        return sem_timedwait(sem_, &deadline) == 0;
    }

private:
    sem_t* sem_ = SEM_FAILED;
};

TEST(CourierFileTarget, AnyLetterCaseConvertsIntoThePathAndSetsTheEvent)
{
    TempHome home;
    FinishedEvent finished;
    ASSERT_TRUE(finished.created());
    std::string log = stateHome() + "/KORVAFax/korvafax.log";
    std::string errors = home.path() + "/faxcourier.err";
    std::string target = home.path() + "/out.tif";

    CourierProcess courier({"-debug"}, errors);
    ASSERT_TRUE(waitForFileText(log, "Watching ")) << readWholeFile(errors);
    auto preset = runProcess({binPath("faxpreset"), "-s", "~~FileTarget~~*" + target, "-r", "0301 555~Berta Blau~"});
    ASSERT_EQ(preset.exitCode, 0) << preset.err;
    auto print = runProcess({binPath("faxprint"), KORVA_SAMPLE_LETTER});
    ASSERT_EQ(print.exitCode, 0) << print.err;

    ASSERT_TRUE(finished.wait(60)) << readWholeFile(errors) << readWholeFile(log);
    EXPECT_EQ(pageWidths(target), (std::vector<uint32_t>{1728, 1728}));
    // No document was made of it: nothing numbered is left, nothing was sent.
    for (const auto& entry : std::filesystem::directory_iterator(*spoolFolder()))
        EXPECT_NE(entry.path().extension(), ".tif") << entry.path();
    EXPECT_EQ(readWholeFile(log).find("Connect"), std::string::npos) << "no submission";
    EXPECT_TRUE(courier.running());

    courier.signal(SIGTERM);
    EXPECT_EQ(courier.waitForExit(std::chrono::milliseconds(10000)), 0) << readWholeFile(errors);
}

}  // namespace
