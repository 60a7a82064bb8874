#include "faxcourier/pipeline/conversion.h"

#include "faxcourier/pipeline/pipeline_state.h"
#include "faxcourier/pipeline/testing/recording_target.h"
#include "faxcourier/pipeline/testing/test_tiffs.h"
#include "faxcourier/pipeline/watch_file.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/testing/poll_until.h"
#include "platform/testing/test_support.h"
#include "platform/testing/tiff_pages.h"

#include <gtest/gtest.h>

#include <ctime>
#include <tiffio.h>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <semaphore.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korva;
using namespace korva::testing;
using namespace std::chrono_literals;

namespace {

class RecordingSink : public ErrorSink {
public:
    void reportError(const std::string& text) override
    {
        std::lock_guard lock(mutex_);
        reports_.push_back(text);
    }
    std::vector<std::string> reports() const
    {
        std::lock_guard lock(mutex_);
        return reports_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> reports_;
};

// A page numbered by a black block whose position depends on `number`.
Painter numbered(uint32_t number)
{
    return [number](uint32_t x, uint32_t y) {
        bool mark = y >= 200 * number && y < 200 * number + 150 && x >= 100 && x < 400;
        return mark ? kBlack : kWhite;
    };
}

class ConversionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(makeFolders(spool, 0700).ok()); }

    ConversionRequest request(ProgressTarget* progressTarget)
    {
        ConversionRequest r;
        r.spoolFolder = spool;
        r.target = target;
        r.progress = progressTarget;
        r.errors = &errors;
        r.publishedPageCount = &published;
        return r;
    }

    void printPages(const std::vector<PrintPage>& pages)
    {
        ASSERT_TRUE(writePrintFile(spool + "/korvafax_tester_1.tif", pages));
        ASSERT_TRUE(moveFile(spool + "/korvafax_tester_1.tif", watchFilePath(spool)).ok());
    }

    void TearDown() override
    {
        for (const std::string& report : errors.reports())
            ADD_FAILURE() << "reported: " << report;
    }

    std::vector<TiffPage> readTarget()
    {
        bool ok = false;
        std::vector<TiffPage> pages = readTiffPages(target, &ok);
        EXPECT_TRUE(ok);
        return pages;
    }

    TempHome home;
    std::string spool = home.spool();
    std::string target = home.path() + "/fax.tif";
    PipelineState state;
    RecordingTarget progress;
    RecordingSink errors;
    std::atomic<uint32_t> published{99};
};

void expectFaxForm(const TiffPage& page, uint32_t rows)
{
    EXPECT_EQ(page.width, 1728u);
    EXPECT_EQ(page.height, rows);
    EXPECT_EQ(page.bitsPerSample, 1);
    EXPECT_EQ(page.samplesPerPixel, 1);
    EXPECT_EQ(page.compression, COMPRESSION_CCITTFAX3);
    EXPECT_EQ(page.photometric, PHOTOMETRIC_MINISWHITE);
    EXPECT_EQ(page.resolutionUnit, RESUNIT_INCH);
    EXPECT_EQ(page.xResolution, 200.0f);
    EXPECT_EQ(page.yResolution, 192.0f);
}

TEST_F(ConversionTest, ThreePagesBecomeThreeFaxPagesInOrder)
{
    printPages({{PrintFormat::Colour, 1700, 2200, numbered(1)},
                {PrintFormat::Mono, 1700, 2200, numbered(2)},
                {PrintFormat::Colour, 1700, 2200, numbered(3)}});
    ConversionResult result = convertPrintFile(request(&progress), state.printFileCounter);

    EXPECT_EQ(result.pageCount, 3u);
    EXPECT_EQ(result.pagesStored, 3u);
    EXPECT_EQ(published.load(), 3u);
    EXPECT_EQ(progress.posted(), (std::vector<Posted>{{kShowCall, 0},
                                                      {kProgressRange, 3},
                                                      {kFrontCall, 0},
                                                      {kComeForward, 0},
                                                      {kProgressPosition, 1},
                                                      {kProgressPosition, 2},
                                                      {kProgressPosition, 3},
                                                      {kConversionFinished, 0}}));
    std::vector<TiffPage> pages = readTarget();
    ASSERT_EQ(pages.size(), 3u);
    for (uint32_t n = 1; n <= 3; ++n) {
        const TiffPage& page = pages[n - 1];
        expectFaxForm(page, 2146);
        // The block of page n spans printed rows 200n .. 200n+149, fax rows
        // times 2146/2200; printed columns 100 .. 399 map to about 102 .. 405.
        uint32_t top = 200 * n * 2146 / 2200;
        EXPECT_GT(page.blackShare(110, top + 5, 400, top + 140), 0.99) << n;
        EXPECT_LT(page.blackShare(0, 0, 1728, top - 5), 0.001) << n;
    }
    EXPECT_FALSE(fileExists(watchFilePath(spool)));
    EXPECT_FALSE(fileExists(workFilePath(spool, 1)));
    EXPECT_EQ(state.printFileCounter.load(), 1);
}

// A stop asked for while page 2 is being stored: the page being read ahead
// is dropped, nothing after page 2 is stored or posted, and the print file
// stays for the next start.
TEST_F(ConversionTest, StopEndsTheConversionAtThePageBeingStoredAndKeepsThePrintFile)
{
    struct StoppingTarget : RecordingTarget {
        std::atomic<bool> stop{false};
        void postMessage(unsigned message, std::intptr_t lParam) override
        {
            RecordingTarget::postMessage(message, lParam);
            if (message == kProgressPosition && lParam == 2)
                stop = true;
        }
    } stopping;
    std::vector<PrintPage> pages;
    for (uint32_t n = 1; n <= 6; ++n)
        pages.push_back({PrintFormat::Colour, 1700, 2200, numbered(n)});
    printPages(pages);
    ConversionRequest r = request(&stopping);
    r.stop = &stopping.stop;
    ConversionResult result = convertPrintFile(r, state.printFileCounter);

    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.pagesStored, 2u);
    EXPECT_EQ(published.load(), 0u);
    std::vector<Posted> posted = stopping.posted();
    ASSERT_GE(posted.size(), 3u);
    EXPECT_EQ(std::vector<Posted>(posted.end() - 3, posted.end()),
              (std::vector<Posted>{{kProgressPosition, 1}, {kProgressPosition, 2}, {kConversionFinished, 0}}));
    EXPECT_FALSE(fileExists(target));
    EXPECT_TRUE(fileExists(workFilePath(spool, 1)));
}

TEST_F(ConversionTest, LandscapePageArrivesPortraitTurnedClockwise270)
{
    // Markers in the printed page's top-left and top-right corners.
    printPages({{PrintFormat::Colour, 2200, 1700, [](uint32_t x, uint32_t y) {
                     bool topLeft = x < 100 && y < 100;
                     bool topRight = x >= 2000 && y < 50;
                     return topLeft || topRight ? kBlack : kWhite;
                 }}});
    convertPrintFile(request(nullptr), state.printFileCounter);

    std::vector<TiffPage> pages = readTarget();
    ASSERT_EQ(pages.size(), 1u);
    const TiffPage& page = pages[0];
    expectFaxForm(page, 2146);
    // The printed top edge becomes the left edge, the printed right edge
    // the top: the top-left marker lands bottom left, the top-right one top
    // left (200 x 50 printed pixels: about 195 fax rows by 51 columns).
    EXPECT_GT(page.blackShare(0, 2146 - 90, 95, 2146), 0.99);
    EXPECT_GT(page.blackShare(0, 0, 45, 190), 0.99);
    EXPECT_LT(page.blackShare(1728 - 200, 0, 1728, 2146), 0.001);
    EXPECT_LT(page.blackShare(0, 300, 1728, 2146 - 110), 0.001);
}

TEST_F(ConversionTest, MonoPageIsSampledBitForBit)
{
    // 1728 wide: columns map one to one, rows are sampled.
    auto pattern = [](uint32_t x, uint32_t y) {
        return (x * 7 + y * 13) % 5 < 2 || (x / 3 + y) % 11 == 0 ? kBlack : kWhite;
    };
    printPages({{PrintFormat::Mono, 1728, 1800, pattern, 64}});
    convertPrintFile(request(nullptr), state.printFileCounter);

    std::vector<TiffPage> pages = readTarget();
    ASSERT_EQ(pages.size(), 1u);
    uint32_t rows = uint32_t(1800.0 * 1728 * 192 / (1728.0 * 200));
    expectFaxForm(pages[0], rows);
    size_t mismatches = 0;
    for (uint32_t j = 0; j < rows; ++j) {
        uint32_t y = uint32_t((2 * uint64_t(j) + 1) * 1800 / (2 * uint64_t(rows)));
        for (uint32_t x = 0; x < 1728; ++x)
            mismatches += pages[0].black(x, j) != (pattern(x, y).r == 0);
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST_F(ConversionTest, GreyIsDitheredNotThresholded)
{
    printPages({{PrintFormat::Colour, 1700, 2200, [](uint32_t x, uint32_t) {
                     return x < 850 ? Rgb{160, 160, 160} : Rgb{60, 60, 60};
                 }}});
    convertPrintFile(request(nullptr), state.printFileCounter);
    std::vector<TiffPage> pages = readTarget();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].blackShare(20, 20, 840, 2100), 1 - 160 / 255.0, 0.02);
    EXPECT_NEAR(pages[0].blackShare(900, 20, 1700, 2100), 1 - 60 / 255.0, 0.02);
}

TEST_F(ConversionTest, ExistingTargetIsReplaced)
{
    printPages({{PrintFormat::Colour, 1700, 2200, numbered(1)}, {}, {}, {}});
    convertPrintFile(request(nullptr), state.printFileCounter);
    ASSERT_EQ(readTarget().size(), 4u);

    printPages({{PrintFormat::Mono, 1700, 2200, numbered(2)}});
    ConversionResult result = convertPrintFile(request(nullptr), state.printFileCounter);
    EXPECT_EQ(result.pagesStored, 1u);
    std::vector<TiffPage> pages = readTarget();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_GT(pages[0].blackShare(110, 400 * 2146 / 2200 + 5, 400, 400 * 2146 / 2200 + 140), 0.99);
    EXPECT_EQ(state.printFileCounter.load(), 2);
}

TEST_F(ConversionTest, StarTargetSetsTheEventAfterTheLastPageAndTheWorkFile)
{
    std::string event = "KORVAFaxTest" + std::to_string(getpid());
    sem_t* finished = sem_open(("/" + event).c_str(), O_CREAT | O_EXCL, 0600, 0);
    ASSERT_NE(finished, SEM_FAILED);
    printPages({{}, {}, {PrintFormat::Mono}});
    ConversionRequest r = request(&progress);
    r.setFinishedEvent = true;
    r.finishedEvent = event;
    std::thread thread([this, r] { convertPrintFile(r, state.printFileCounter); });

    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += 60;
    bool signalled = sem_timedwait(finished, &deadline) == 0;
    // Checked at the moment the event arrives, before the thread is joined.
    bool workFileGone = !fileExists(workFilePath(spool, 1));
    std::vector<Posted> posted = progress.posted();
    bool ok = false;
    size_t pages = readTiffPages(target, &ok).size();
    thread.join();
    sem_close(finished);
    sem_unlink(("/" + event).c_str());

    ASSERT_TRUE(signalled);
    EXPECT_TRUE(workFileGone);
    EXPECT_TRUE(ok);
    EXPECT_EQ(pages, 3u);
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back(), (Posted{kConversionFinished, 0}));
    EXPECT_FALSE(fileExists("*" + target));
}

TEST_F(ConversionTest, StarTargetWithoutAWaiterSetsNothing)
{
    printPages({{}});
    ConversionRequest r = request(nullptr);
    r.setFinishedEvent = true;
    r.finishedEvent = "KORVAFaxTestNobody" + std::to_string(getpid());
    ConversionResult result = convertPrintFile(r, state.printFileCounter);
    EXPECT_FALSE(result.eventSet);
    EXPECT_EQ(result.pagesStored, 1u);
    EXPECT_EQ(readTarget().size(), 1u);
}

TEST_F(ConversionTest, WithoutProgressTargetNothingIsPosted)
{
    printPages({{}, {}});
    ConversionResult result = convertPrintFile(request(nullptr), state.printFileCounter);
    EXPECT_EQ(result.pagesStored, 2u);
    EXPECT_EQ(progress.count(), 0u);
    EXPECT_EQ(published.load(), 2u);
}

TEST_F(ConversionTest, MissingWatchFileGivesNoPagesButFinishes)
{
    std::string event = "KORVAFaxTestMissing" + std::to_string(getpid());
    sem_t* finished = sem_open(("/" + event).c_str(), O_CREAT | O_EXCL, 0600, 0);
    ASSERT_NE(finished, SEM_FAILED);
    ConversionRequest r = request(&progress);
    r.setFinishedEvent = true;
    r.finishedEvent = event;
    ConversionResult result = convertPrintFile(r, state.printFileCounter);
    bool signalled = sem_trywait(finished) == 0;
    sem_close(finished);
    sem_unlink(("/" + event).c_str());

    EXPECT_EQ(result.pageCount, 0u);
    EXPECT_EQ(published.load(), 0u);
    EXPECT_TRUE(result.eventSet);
    EXPECT_TRUE(signalled);
    EXPECT_EQ(progress.posted(),
              (std::vector<Posted>{
                  {kShowCall, 0}, {kProgressRange, 0}, {kFrontCall, 0}, {kComeForward, 0}, {kConversionFinished, 0}}));
    EXPECT_FALSE(fileExists(target));
}

TEST_F(ConversionTest, OverlappingConversionsUseTheirOwnWorkFiles)
{
    printPages({{}, {}});
    std::atomic<uint32_t> firstCount{0};
    ConversionRequest first = request(nullptr);
    first.publishedPageCount = &firstCount;
    std::thread thread([this, first] { convertPrintFile(first, state.printFileCounter); });
    // The second document may arrive before or after the first was taken.
    ASSERT_TRUE(pollUntil([&] { return !fileExists(watchFilePath(spool)); }, 10s));
    printPages({{PrintFormat::Mono}});
    ConversionRequest second = request(nullptr);
    second.target = home.path() + "/second.tif";
    ConversionResult result = convertPrintFile(second, state.printFileCounter);
    thread.join();

    EXPECT_EQ(result.pagesStored, 1u);
    EXPECT_EQ(firstCount.load(), 2u);
    EXPECT_EQ(published.load(), 1u);
    EXPECT_EQ(readTarget().size(), 2u);
    EXPECT_EQ(state.printFileCounter.load(), 2);
    EXPECT_FALSE(fileExists(workFilePath(spool, 1)));
    EXPECT_FALSE(fileExists(workFilePath(spool, 2)));
}

}  // namespace

// The disk fills while page `fullAt` is stored (a file-size limit stands in
// for it): nothing of the document may be faxed, the print file stays where
// it was for a later try, and the user is told the disk is full.
TEST_F(ConversionTest, AWriteErrorFailsTheWholeDocumentAndKeepsThePrintFile)
{
    const std::string printFile = spool + "/taken-print.tif";
    ASSERT_TRUE(writePrintFile(printFile, {{PrintFormat::Colour, 1700, 2200, numbered(1)}}));
    ConversionRequest one = request(nullptr);
    one.printFile = printFile;
    ASSERT_EQ(convertPrintFile(one, state.printFileCounter).pagesStored, 1u);
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    const off_t onePage = st.st_size;
    ASSERT_GT(onePage, 0);
    discardFile(target);

    for (uint32_t fullAt : {1u, 2u}) {
        SCOPED_TRACE(fullAt);
        ASSERT_TRUE(writePrintFile(printFile, {{PrintFormat::Colour, 1700, 2200, numbered(1)},
                                               {PrintFormat::Colour, 1700, 2200, numbered(2)}}));
        const off_t limit = fullAt == 1 ? 64 : onePage + 64;
        pid_t child = fork();
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit size{rlim_t(limit), rlim_t(limit)};
            setrlimit(RLIMIT_FSIZE, &size);
            ConversionRequest r = request(nullptr);
            r.printFile = printFile;
            r.keepPrintFile = true;
            ConversionResult result = convertPrintFile(r, state.printFileCounter);
            bool told = false;
            for (const std::string& report : errors.reports())
                told = told || report.find("disk is full") != std::string::npos;
            _exit((result.writeFailed ? 0 : 1) | (told ? 0 : 2) | (result.pagesStored == 0 ? 0 : 4));
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not a write failure, 2: not told, 4: pages kept";
        EXPECT_FALSE(fileExists(target)) << "no part of the document may be sent";
        EXPECT_TRUE(fileExists(printFile));
        EXPECT_FALSE(fileExists(unsentFolder(spool)));
    }
}
