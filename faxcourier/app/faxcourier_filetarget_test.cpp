// A running faxcourier converts a print whose subject names a file target
// into that file, sets the print-finished event for the program that asked,
// and neither sends nor keeps a document.

#include "faxcourier/app/testing/courier_process.h"
#include "platform/paths.h"
#include "platform/testing/test_support.h"
#include "platform/testing/tiff_pages.h"

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
using korva::testing::readTiffPages;
using korva::testing::readWholeFile;
using korva::testing::runProcess;
using korva::testing::TempHome;
using korva::testing::TiffPage;

namespace {

constexpr char kFinishedEvent[] = "/KORVAFaxPrintFinished";

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
    std::vector<TiffPage> pages = readTiffPages(target);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].width, 1728u);
    EXPECT_EQ(pages[1].width, 1728u);
    // No document was made of it: nothing numbered is left, nothing was sent.
    for (const auto& entry : std::filesystem::directory_iterator(*spoolFolder()))
        EXPECT_NE(entry.path().extension(), ".tif") << entry.path();
    EXPECT_EQ(readWholeFile(log).find("Connect"), std::string::npos) << "no submission";
    EXPECT_TRUE(courier.running());

    courier.signal(SIGTERM);
    EXPECT_EQ(courier.waitForExit(std::chrono::milliseconds(10000)), 0) << readWholeFile(errors);
}

}  // namespace
