// From print to fax document with the real pieces: faxprint prints the sample
// letter through the built exit library, the spool watcher announces it, the
// conversion makes the fax document, and libtiff and tiffinfo read it back.
#include "faxcourier/pipeline/conversion.h"
#include "faxcourier/pipeline/pipeline_state.h"
#include "faxcourier/pipeline/testing/recording_target.h"
#include "faxcourier/pipeline/spool_watcher.h"
#include "faxcourier/pipeline/testing/test_tiffs.h"
#include "faxcourier/pipeline/watch_file.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/testing/test_support.h"
#include "platform/testing/tiff_pages.h"

#include <gtest/gtest.h>

#include <tiffio.h>

using namespace korva;
using namespace korva::testing;
using namespace std::chrono_literals;

namespace {

size_t occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class FaxprintConversionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(makeFolders(spool, 0700).ok()); }

    // Prints the sample letter (two A4 pages) at 200 dpi.
    void printLetter(const std::vector<std::string>& options)
    {
        std::vector<std::string> argv{binPath("faxprint")};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(KORVA_SAMPLES_DIR "/letter.pdf");
        ProcessResult run = runProcess(argv);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        ASSERT_TRUE(fileExists(watchFilePath(spool)));
        printed = readTiffPages(watchFilePath(spool));
        ASSERT_EQ(printed.size(), 2u);
    }

    ConversionResult convert()
    {
        ConversionRequest request;
        request.spoolFolder = spool;
        request.target = target;
        request.progress = &progress;
        request.publishedPageCount = &published;
        return convertPrintFile(request, state.printFileCounter);
    }

    // Both pages in fax form, each as long as its printed page scaled to
    // 1728 pixels across at 200 x 192 dpi, and still the letter.
    void expectTheLetterAsFax()
    {
        bool ok = false;
        std::vector<TiffPage> pages = readTiffPages(target, &ok);
        EXPECT_TRUE(ok);
        ASSERT_EQ(pages.size(), 2u);
        for (size_t n = 0; n < pages.size(); ++n) {
            const TiffPage& page = pages[n];
            uint32_t rows = uint32_t(double(printed[n].height) * 1728 * 192 / (double(printed[n].width) * 200));
            EXPECT_EQ(page.width, 1728u) << n;
            EXPECT_EQ(page.height, rows) << n;
            EXPECT_EQ(page.bitsPerSample, 1) << n;
            EXPECT_EQ(page.samplesPerPixel, 1) << n;
            EXPECT_EQ(page.compression, COMPRESSION_CCITTFAX3) << n;
            EXPECT_EQ(page.resolutionUnit, RESUNIT_INCH) << n;
            EXPECT_EQ(page.xResolution, 200.0f) << n;
            EXPECT_EQ(page.yResolution, 192.0f) << n;
            // The letter's filled bar: 72 to 523 points across, 46 to 52
            // points below the top edge of an 842-point page.
            uint32_t barTop = uint32_t(46.0 / 842 * rows), barBottom = uint32_t(52.0 / 842 * rows);
            EXPECT_GT(page.blackShare(260, barTop + 3, 1460, barBottom - 2), 0.95) << n;
            EXPECT_LT(page.blackShare(0, 0, 1728, barTop - 20), 0.001) << n;
            // Text on white paper.
            double ink = page.blackShare(0, 0, 1728, rows);
            EXPECT_GT(ink, 0.005) << n;
            EXPECT_LT(ink, 0.1) << n;
        }
    }

    TempHome home;
    std::string spool = home.spool();
    std::string target = home.path() + "/letter-fax.tif";
    std::vector<TiffPage> printed;  // as faxprint rendered them
    PipelineState state;
    RecordingTarget progress;
    std::atomic<uint32_t> published{0};
};

TEST_F(FaxprintConversionTest, PrintedLetterIsAnnouncedAndBecomesAFaxDocument)
{
    RecordingTarget mainWindow;
    SpoolWatcher watcher(spool, mainWindow, state.pipelineBusy);
    ASSERT_TRUE(watcher.start());
    printLetter({});
    ASSERT_TRUE(mainWindow.waitForCount(1, 10s));
    EXPECT_EQ(mainWindow.posted().front(), (Posted{kDocumentWaiting, 0}));

    ConversionResult result = convert();
    EXPECT_EQ(result.pageCount, 2u);
    EXPECT_EQ(result.pagesStored, 2u);
    EXPECT_EQ(published.load(), 2u);
    EXPECT_EQ(progress.posted().back(), (Posted{kConversionFinished, 0}));
    EXPECT_FALSE(fileExists(watchFilePath(spool)));
    EXPECT_FALSE(fileExists(workFilePath(spool, 1)));
    expectTheLetterAsFax();

    ProcessResult info = runProcess({"/usr/bin/tiffinfo", target});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(occurrences(info.out, "Image Width: 1728 "), 2u) << info.out;
    EXPECT_EQ(occurrences(info.out, "Resolution: 200, 192 pixels/inch"), 2u) << info.out;
    EXPECT_EQ(occurrences(info.out, "Bits/Sample: 1\n"), 2u) << info.out;
    EXPECT_EQ(occurrences(info.out, "Compression Scheme: CCITT Group 3\n"), 2u) << info.out;
    EXPECT_EQ(info.err, "");
    EXPECT_EQ(mainWindow.count(), 1u);
}

TEST_F(FaxprintConversionTest, ColourAndGreyPrintsBecomeTheSameFaxForm)
{
    for (const char* format : {"colour", "grey"}) {
        SCOPED_TRACE(format);
        printLetter({"--format", format});
        ConversionResult result = convert();
        EXPECT_EQ(result.pagesStored, 2u);
        expectTheLetterAsFax();
    }
}

}  // namespace
