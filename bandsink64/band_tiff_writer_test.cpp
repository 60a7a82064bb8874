// The band writer, driven through the built library as the driver calls it.
#include "bandsink64/testing/sink_test_support.h"
#include "platform/testing/tiff_pages.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korva::testing;

namespace {

class BandWriterTest : public ::testing::Test {
protected:
    std::string watchFile() const { return home.spool() + "/korvafax.tif"; }

    void startDocument() { ASSERT_EQ(sink.startDocExit(7, "bands", &job), 0); }
    void startPage() { ASSERT_EQ(sink.startPageExit(&job), 0); }
    int32_t band(uint8_t* bits, int32_t height, int32_t width, int32_t format, bool more, int32_t xres = 200,
                 int32_t yres = 192)
    {
        return sink.endPageExit(bits, height, width, format, xres, yres, more ? 1 : 0, &job);
    }
    int32_t monoBand(DriverMonoBand& b, bool more) { return band(b.bits.data(), b.height, b.width, 1, more); }
    void endDocument() { ASSERT_EQ(sink.endDocExit(&job), 0); }

    // Every pixel that the driver printed black is black in the page, and
    // every other pixel white, from row `top` of the page on.
    static void expectSamePixels(const TiffPage& page, const DriverMonoBand& printed, uint32_t top)
    {
        int wrong = 0;
        for (int32_t y = 0; y < printed.height; ++y)
            for (int32_t x = 0; x < printed.width; ++x)
                wrong += page.black(uint32_t(x), top + uint32_t(y)) != printed.isBlack(x, y);
        EXPECT_EQ(wrong, 0) << "pixels differ in rows " << top << " to " << top + uint32_t(printed.height) - 1;
    }

    TempHome home;
    SinkLibrary sink;
    void* job = nullptr;
};

TEST_F(BandWriterTest, MonochromePageInOneBandIsOneGroup3Strip)
{
    DriverMonoBand printed = patternedMonoBand(1728, 120, 1);
    DriverMonoBand delivered = printed;
    startDocument();
    startPage();
    EXPECT_EQ(monoBand(delivered, false), 0);
    endDocument();

    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 1u);
    const TiffPage& page = pages[0];
    EXPECT_EQ(page.width, 1728u);
    EXPECT_EQ(page.height, 120u);
    EXPECT_EQ(page.rowsPerStrip, 120u);
    EXPECT_EQ(page.strips, 1u);
    EXPECT_EQ(page.compression, 3);  // CCITT Group 3
    EXPECT_EQ(page.photometric, 0);  // min-is-white
    EXPECT_EQ(page.samplesPerPixel, 1);
    EXPECT_EQ(page.bitsPerSample, 1);
    EXPECT_EQ(page.fillOrder, 2);
    EXPECT_EQ(page.planarConfig, 1);
    EXPECT_EQ(page.resolutionUnit, 2);
    EXPECT_FLOAT_EQ(page.xResolution, 200.0f);
    EXPECT_FLOAT_EQ(page.yResolution, 192.0f);
    ASSERT_EQ(page.rows.size(), 120u);
    expectSamePixels(page, printed, 0);
}

TEST_F(BandWriterTest, MonochromePageInThreeBandsOf100Rows)
{
    std::vector<DriverMonoBand> printed;
    for (unsigned i = 0; i < 3; ++i)
        printed.push_back(patternedMonoBand(1728, 100, 10 + i));
    startDocument();
    startPage();
    for (size_t i = 0; i < 3; ++i) {
        DriverMonoBand delivered = printed[i];
        EXPECT_EQ(monoBand(delivered, i < 2), 0);
    }
    endDocument();

    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].height, 300u);
    EXPECT_EQ(pages[0].rowsPerStrip, 100u);
    EXPECT_EQ(pages[0].strips, 3u);
    ASSERT_EQ(pages[0].rows.size(), 300u);
    for (size_t i = 0; i < 3; ++i)
        expectSamePixels(pages[0], printed[i], uint32_t(100 * i));
}

TEST_F(BandWriterTest, BlackOnPaperIsBlackInTheFax)
{
    DriverMonoBand printed(64, 8);
    for (int32_t x = 8; x < 24; ++x)
        printed.setBlack(x, 3);
    startDocument();
    startPage();
    EXPECT_EQ(monoBand(printed, false), 0);
    endDocument();

    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].rows.size(), 8u);
    EXPECT_EQ(pages[0].rows[3], (std::vector<uint8_t>{0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0}));
    EXPECT_EQ(pages[0].rows[0], std::vector<uint8_t>(8, 0x00));
}

TEST_F(BandWriterTest, DriverMonochromeBufferHoldsInvertedBytesAfterTheCall)
{
    DriverMonoBand printed = patternedMonoBand(1728, 50, 3);
    DriverMonoBand delivered = printed;
    startDocument();
    startPage();
    EXPECT_EQ(monoBand(delivered, false), 0);
    ASSERT_EQ(delivered.bits.size(), printed.bits.size());
    for (size_t i = 0; i < printed.bits.size(); ++i)
        ASSERT_EQ(delivered.bits[i], uint8_t(~printed.bits[i])) << "byte " << i;
    endDocument();
}

TEST_F(BandWriterTest, MonochromeWidthNotAMultipleOf8KeepsTheWholeBytesAndAWhiteTail)
{
    // 101 pixels: rows are 12 bytes apart; the last five pixels of a row
    // are not in the driver's buffer and come out white.
    const int32_t width = 101, height = 10;
    std::vector<uint8_t> bits(size_t(width / 8) * height, 0x00);  // all black
    startDocument();
    startPage();
    EXPECT_EQ(band(bits.data(), height, width, 1, false), 0);
    endDocument();

    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].width, 101u);
    ASSERT_EQ(pages[0].rows.size(), size_t(height));
    for (uint32_t y = 0; y < uint32_t(height); ++y) {
        EXPECT_TRUE(pages[0].black(0, y));
        EXPECT_TRUE(pages[0].black(95, y));
        EXPECT_FALSE(pages[0].black(96, y)) << "row " << y;
        EXPECT_FALSE(pages[0].black(100, y)) << "row " << y;
    }
}

TEST_F(BandWriterTest, ColourPageIsUncompressedRgbWithOneRowPerStrip)
{
    // 3 * 101 bytes of pixels in rows of 304 bytes.
    const int32_t width = 101, rows = 30;
    const size_t stride = 304;
    std::vector<uint8_t> bits(stride * rows, 0xEE);
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = &bits[size_t(y) * stride + 3 * size_t(x)];
            p[0] = uint8_t(x);
            p[1] = uint8_t(y * 5);
            p[2] = uint8_t(x + y);
        }
    std::vector<uint8_t> delivered = bits;
    startDocument();
    startPage();
    EXPECT_EQ(band(delivered.data(), 20, width, 5, true), 0);
    EXPECT_EQ(band(delivered.data() + 20 * stride, 10, width, 5, false), 0);
    EXPECT_EQ(delivered, bits) << "colour rows are written as they are";
    endDocument();

    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 1u);
    const TiffPage& page = pages[0];
    EXPECT_EQ(page.width, uint32_t(width));
    EXPECT_EQ(page.height, uint32_t(rows));
    EXPECT_EQ(page.compression, 1);
    EXPECT_EQ(page.photometric, 2);
    EXPECT_EQ(page.samplesPerPixel, 3);
    EXPECT_EQ(page.bitsPerSample, 8);
    EXPECT_EQ(page.rowsPerStrip, 1u);
    EXPECT_EQ(page.strips, uint32_t(rows));
    EXPECT_EQ(page.fillOrder, 0) << "FillOrder is not set for RGB pages";
    ASSERT_EQ(page.rows.size(), size_t(rows));
    for (uint32_t y = 0; y < uint32_t(rows); ++y)
        for (uint32_t x = 0; x < uint32_t(width); ++x)
            ASSERT_EQ(0, std::memcmp(page.rgb(x, y), &bits[y * stride + 3 * x], 3)) << x << "," << y;
}

TEST_F(BandWriterTest, GreyPageIsStoredAsRgbWithThreeEqualSamples)
{
    const int32_t width = 99, rows = 12;
    const size_t stride = 100;
    std::vector<uint8_t> bits(stride * rows, 0x11);
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < width; ++x)
            bits[size_t(y) * stride + size_t(x)] = uint8_t(x * 2 + y);
    std::vector<uint8_t> delivered = bits;
    startDocument();
    startPage();
    EXPECT_EQ(band(delivered.data(), 5, width, 3, true), 0);
    EXPECT_EQ(band(delivered.data() + 5 * stride, 7, width, 3, false), 0);
    endDocument();

    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 1u);
    const TiffPage& page = pages[0];
    EXPECT_EQ(page.photometric, 2);
    EXPECT_EQ(page.samplesPerPixel, 3);
    EXPECT_EQ(page.compression, 1);
    EXPECT_EQ(page.height, uint32_t(rows));
    ASSERT_EQ(page.rows.size(), size_t(rows));
    for (uint32_t y = 0; y < uint32_t(rows); ++y)
        for (uint32_t x = 0; x < uint32_t(width); ++x) {
            uint8_t grey = bits[y * stride + x];
            const uint8_t* p = page.rgb(x, y);
            ASSERT_TRUE(p[0] == grey && p[1] == grey && p[2] == grey) << x << "," << y;
        }
}

TEST_F(BandWriterTest, ThreePagesComeOutInPrintingOrder)
{
    DriverMonoBand first = patternedMonoBand(1728, 80, 21);
    std::vector<uint8_t> second(304 * 40, 0x80);  // colour, 101 wide
    DriverMonoBand third = patternedMonoBand(864, 60, 23);
    DriverMonoBand firstCopy = first, thirdCopy = third;
    startDocument();
    startPage();
    EXPECT_EQ(monoBand(firstCopy, false), 0);
    startPage();
    EXPECT_EQ(band(second.data(), 40, 101, 5, false), 0);
    startPage();
    EXPECT_EQ(monoBand(thirdCopy, true), 0);
    EXPECT_EQ(band(nullptr, 0, 864, 1, false), 0);
    endDocument();

    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].width, 1728u);
    EXPECT_EQ(pages[0].compression, 3);
    expectSamePixels(pages[0], first, 0);
    EXPECT_EQ(pages[1].width, 101u);
    EXPECT_EQ(pages[1].height, 40u);
    EXPECT_EQ(pages[1].photometric, 2);
    EXPECT_EQ(pages[2].width, 864u);
    EXPECT_EQ(pages[2].height, 60u);
    EXPECT_EQ(pages[2].rowsPerStrip, 60u);
    expectSamePixels(pages[2], third, 0);
}

TEST_F(BandWriterTest, BandOfUnknownFormatIsIgnored)
{
    DriverMonoBand printed = patternedMonoBand(1728, 40, 5);
    DriverMonoBand delivered = printed;
    std::vector<uint8_t> other(1728 * 40, 0x55);
    const std::vector<uint8_t> otherBefore = other;
    startDocument();
    startPage();
    EXPECT_EQ(band(other.data(), 40, 1728, 8, true), 0);
    EXPECT_EQ(monoBand(delivered, true), 0);
    EXPECT_EQ(band(other.data(), 40, 1728, 4, false), 0);
    EXPECT_EQ(other, otherBefore);
    endDocument();

    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].height, 40u) << "only the monochrome band's rows";
    EXPECT_EQ(pages[0].rowsPerStrip, 40u);
    expectSamePixels(pages[0], printed, 0);
}

TEST_F(BandWriterTest, PageWithOnlyUnknownBandsLeavesTheOtherPagesReadable)
{
    DriverMonoBand first = patternedMonoBand(1728, 30, 1), last = patternedMonoBand(1728, 30, 2);
    DriverMonoBand firstCopy = first, lastCopy = last;
    std::vector<uint8_t> other(1728 * 30, 0x55);
    startDocument();
    startPage();
    EXPECT_EQ(monoBand(firstCopy, false), 0);
    startPage();
    EXPECT_EQ(band(other.data(), 30, 1728, 2, true), 0);
    EXPECT_EQ(band(other.data(), 30, 1728, 7, false), 0);
    startPage();
    EXPECT_EQ(monoBand(lastCopy, false), 0);
    endDocument();

    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 2u);
    expectSamePixels(pages[0], first, 0);
    expectSamePixels(pages[1], last, 0);
}

TEST_F(BandWriterTest, TiffOpenFailingOnATwoBandPageShowsTwoBoxesAndWritesNothing)
{
    startDocument();
    // The spool folder goes away under the job, so the per-job file cannot
    // be created.
    const std::string moved = home.path() + "/moved-away";
    std::filesystem::rename(home.spool(), moved);
    DriverMonoBand b1 = patternedMonoBand(1728, 50, 1), b2 = b1;
    {
        StderrCapture err;
        startPage();
        EXPECT_EQ(monoBand(b1, true), -1);
        EXPECT_EQ(monoBand(b2, false), -1);
        auto boxes = err.boxes();
        ASSERT_EQ(boxes.size(), 2u) << err.text();
        for (auto& text : boxes) {
            EXPECT_EQ(text.rfind("Cannot open " + home.spool() + "/korvafax_", 0), 0u) << text;
            EXPECT_NE(text.find(".tif. Check to make sure you have enough disk space.  You should have at least "
                                "50mb free. This may also happen if another application has the image file open."),
                      std::string::npos)
                << text;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(home.spool()));
    for (auto& entry : std::filesystem::directory_iterator(moved))
        EXPECT_EQ(entry.path().extension(), ".lock") << entry.path();
    endDocument();
    EXPECT_FALSE(std::filesystem::exists(watchFile()));
}

TEST_F(BandWriterTest, WithoutASpoolFolderEveryBandFailsToOpen)
{
    // The data home is a file, so the spool folder cannot be made.
    writeWholeFile(home.path() + "/not-a-folder", "x");
    setenv("XDG_DATA_HOME", (home.path() + "/not-a-folder").c_str(), 1);
    StderrCapture err;
    startDocument();
    EXPECT_EQ(err.boxes("CreateMutex Error").size(), 1u) << err.text();
    DriverMonoBand b1 = patternedMonoBand(1728, 10, 1), b2 = b1, b3 = b1;
    startPage();
    EXPECT_EQ(monoBand(b1, true), -1);
    EXPECT_EQ(monoBand(b2, true), -1);
    EXPECT_EQ(monoBand(b3, false), -1);
    endDocument();
    auto boxes = err.boxes();
    ASSERT_EQ(boxes.size(), 3u) << err.text();
    EXPECT_EQ(boxes[0].rfind("Cannot open . Check to make sure", 0), 0u) << boxes[0];
    EXPECT_EQ(job, nullptr);
}

TEST_F(BandWriterTest, RowThatCannotBeWrittenIsReportedAtThePagesLastBand)
{
    writeExitLogging(home.sysconf(), "3", home.path() + "/sink.log");
    int results[2];
    ASSERT_EQ(pipe(results), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The file may not grow past 4 KiB: every write beyond fails.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        startDocument();
        startPage();
        int32_t got[3];
        for (int i = 0; i < 3; ++i) {
            DriverMonoBand noise = patternedMonoBand(1728, 200, unsigned(i));
            for (size_t k = 0; k < noise.bits.size(); ++k)
                noise.bits[k] = uint8_t(k * 2654435761u >> 13);
            got[i] = monoBand(noise, i < 2);
        }
        endDocument();
        if (write(results[1], got, sizeof got) != sizeof got)
            _exit(2);
        _exit(0);
    }
    close(results[1]);
    int32_t got[3] = {99, 99, 99};
    ASSERT_EQ(read(results[0], got, sizeof got), ssize_t(sizeof got));
    close(results[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(got[0], 0) << "more bands follow: no result yet";
    EXPECT_EQ(got[1], 0);
    EXPECT_EQ(got[2], -2);
    auto messages = logMessages(home.path() + "/sink.log");
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "No longer banding, so write out the TIFF directory. Image Height is 600"),
              messages.end())
        << "the page's rows advance by every band's height";
}

TEST_F(BandWriterTest, BandWithoutAnOpenTiffIsRefused)
{
    writeExitLogging(home.sysconf(), "1", home.path() + "/sink.log");
    DriverMonoBand b = patternedMonoBand(64, 4, 1);
    void* noJob = nullptr;
    EXPECT_EQ(sink.endPageExit(b.bits.data(), 4, 64, 1, 200, 200, 0, &noJob), -1);
    EXPECT_EQ(sink.endPageExit(b.bits.data(), 4, 64, 1, 200, 200, 0, nullptr), -1);
    EXPECT_EQ(sink.startPageExit(nullptr), 0);
    EXPECT_EQ(sink.endDocExit(nullptr), 0);
    EXPECT_EQ(sink.endDocExit(&noJob), 0);
    // Read at load: the INI was written after it, so start a document to
    // pick up the level.
    startDocument();
    EXPECT_EQ(sink.endPageExit(b.bits.data(), 4, 64, 1, 200, 200, 0, nullptr), -1);
    endDocument();
    auto messages = logMessages(home.path() + "/sink.log");
    EXPECT_NE(std::find(messages.begin(), messages.end(), "appendTIFF called without a TIFF file being open"),
              messages.end());
}

}  // namespace
