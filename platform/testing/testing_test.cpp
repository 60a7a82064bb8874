// The test helpers themselves: a wrong answer here would let other tests
// pass that should fail.
#include "platform/testing/poll_until.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"
#include "platform/testing/tiff_pages.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <unistd.h>
#include <utility>

namespace korva::testing {
namespace {

int seamValue = 0;
int setSeamValue(int value) { return std::exchange(seamValue, value); }

TEST(ScopedSeam, PutsThePreviousValueBackHoweverTheScopeEnds)
{
    seamValue = 1;
    {
        ScopedSeam outer(setSeamValue, 2);
        EXPECT_EQ(seamValue, 2);
        try {
            ScopedSeam inner(setSeamValue, 3);
            EXPECT_EQ(seamValue, 3);
            throw std::runtime_error("a failed step");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(seamValue, 2);
    }
    EXPECT_EQ(seamValue, 1);
}

TEST(IsBlocked, TellsAThreadWaitingForALockFromOneThatRuns)
{
    std::mutex lock;
    std::atomic<pid_t> waiter{0}, runner{0};
    std::atomic<bool> stop{false};
    std::unique_lock held(lock);
    std::thread waiting([&] {
        waiter = ::gettid();
        std::lock_guard taken(lock);
    });
    std::thread running([&] {
        runner = ::gettid();
        while (!stop) {
        }
    });
    EXPECT_TRUE(pollUntil([&] { return waiter != 0 && isBlocked(waiter); }, std::chrono::seconds(10)));
    ASSERT_TRUE(pollUntil([&] { return runner != 0; }));
    EXPECT_FALSE(isBlocked(runner));
    stop = true;
    held.unlock();
    waiting.join();
    running.join();
}

// Two pages as libtiff writes them: a Group 3 page with one black pixel and
// an RGB page.
void writeTwoPages(const std::string& path)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 16u);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 4u);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 200.0f);
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 192.0f);
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    for (uint32_t y = 0; y < 4; ++y) {
        uint8_t row[2] = {uint8_t(y == 2 ? 0x10 : 0), 0};
        ASSERT_EQ(TIFFWriteScanline(tiff, row, y, 0), 1);
    }
    ASSERT_TRUE(TIFFWriteDirectory(tiff));
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 2u);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 1u);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    uint8_t rgb[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(TIFFWriteScanline(tiff, rgb, 0, 0), 1);
    TIFFClose(tiff);
}

TEST(ReadTiffPages, ReadsEveryPageWithItsFieldsAndPixels)
{
    TempHome home;
    const std::string path = home.path() + "/two.tif";
    ASSERT_NO_FATAL_FAILURE(writeTwoPages(path));
    bool ok = false;
    std::vector<TiffPage> pages = readTiffPages(path, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].width, 16u);
    EXPECT_EQ(pages[0].height, 4u);
    EXPECT_EQ(pages[0].compression, COMPRESSION_CCITTFAX3);
    EXPECT_EQ(pages[0].bitsPerSample, 1);
    EXPECT_EQ(pages[0].xResolution, 200.0f);
    EXPECT_EQ(pages[0].yResolution, 192.0f);
    ASSERT_EQ(pages[0].rows.size(), 4u);
    EXPECT_TRUE(pages[0].black(3, 2));
    EXPECT_FALSE(pages[0].black(4, 2));
    EXPECT_DOUBLE_EQ(pages[0].blackShare(0, 0, 16, 4), 1.0 / 64);
    EXPECT_EQ(pages[1].samplesPerPixel, 3);
    EXPECT_EQ(pages[1].rgb(1, 0)[2], 6);
}

TEST(ReadTiffPages, ACutOrMissingFileIsNotOk)
{
    TempHome home;
    const std::string path = home.path() + "/cut.tif";
    ASSERT_NO_FATAL_FAILURE(writeTwoPages(path));
    std::filesystem::resize_file(path, 40);
    bool ok = true;
    (void)readTiffPages(path, &ok);
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_TRUE(readTiffPages(home.path() + "/none.tif", &ok).empty());
    EXPECT_FALSE(ok);
}

}  // namespace
}  // namespace korva::testing
