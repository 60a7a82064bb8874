// Damaged and hostile print files: each conversion ends cleanly, keeps its
// memory bounded, reports what it left out and goes on with the next page.

#include "faxcourier/pipeline/conversion.h"

#include "faxcourier/pipeline/pipeline_state.h"
#include "faxcourier/pipeline/print_file.h"
#include "faxcourier/pipeline/testing/recording_target.h"
#include "faxcourier/pipeline/testing/test_tiffs.h"
#include "faxcourier/pipeline/watch_file.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/testing/test_support.h"
#include "platform/testing/tiff_pages.h"

#include <gtest/gtest.h>

#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korva;
using namespace korva::testing;

namespace {

#ifdef __SANITIZE_THREAD__
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif

class RecordingSink : public ErrorSink {
public:
    void reportError(const std::string& text) override
    {
        std::lock_guard lock(mutex_);
        reports.push_back(text);
    }
    std::mutex mutex_;
    std::vector<std::string> reports;
};

long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Grey pixels of the good 8 x 8 page: left half black, right half white.
std::string goodPixels()
{
    std::string pixels;
    for (int y = 0; y < 8; ++y)
        pixels += std::string(4, '\0') + std::string(4, '\xff');
    return pixels;
}

class HostileInputTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(makeFolders(spool, 0700).ok()); }

    // Hands `content` over as the watch file and converts it.
    ConversionResult convert(const std::string& content)
    {
        writeWholeFile(watchFilePath(spool), content);
        ConversionRequest request;
        request.spoolFolder = spool;
        request.target = target;
        request.progress = &progress;
        request.errors = &errors;
        request.publishedPageCount = &published;
        ConversionResult result = convertPrintFile(request, state.printFileCounter);
        EXPECT_EQ(progress.posted().back(), (Posted{kConversionFinished, 0}));
        EXPECT_FALSE(fileExists(workFilePath(spool, state.printFileCounter.load())));
        // ThreadSanitizer's shadow memory alone passes the bound.
        if (!kThreadSanitizer) {
            EXPECT_LT(peakResidentKb(), 200 * 1024);
        }
        // Nothing of it could be faxed: what was printed is kept, and said so last.
        if (result.pagesStored == 0) {
            EXPECT_FALSE(errors.reports.empty());
            if (!errors.reports.empty()) {
                EXPECT_NE(errors.reports.back().find("It is kept as " + spool + "/unsent/"), std::string::npos);
                errors.reports.pop_back();
            }
        }
        return result;
    }

    // The target's pages, each of which must read back without an error.
    std::vector<TiffPage> storedPages()
    {
        if (!fileExists(target))
            return {};
        bool ok = false;
        std::vector<TiffPage> pages = readTiffPages(target, &ok);
        EXPECT_TRUE(ok);
        return pages;
    }

    // The good page converted: black on the left, white on the right.
    void expectGoodPage(const TiffPage& page)
    {
        EXPECT_EQ(page.width, 1728u);
        EXPECT_EQ(page.height, 1658u);
        EXPECT_GT(page.blackShare(0, 0, 860, 1658), 0.99);
        EXPECT_LT(page.blackShare(870, 0, 1728, 1658), 0.01);
    }

    TempHome home;
    std::string spool = home.spool();
    std::string target = home.path() + "/fax.tif";
    PipelineState state;
    RecordingTarget progress;
    RecordingSink errors;
    std::atomic<uint32_t> published{99};
};

TEST_F(HostileInputTest, FileWithoutPages)
{
    std::string noPages = rawTiff({});
    ConversionResult result = convert(noPages);
    EXPECT_EQ(result.pageCount, 0u);
    EXPECT_EQ(published.load(), 0u);
    EXPECT_FALSE(fileExists(target));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_NE(errors.reports[0].find("cannot be read"), std::string::npos);
}

TEST_F(HostileInputTest, FifoAsPrintFileIsRefusedWithoutWaiting)
{
    const std::string fifo = spool + "/print.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    PrintFile file;
    std::string why;
    bool opened = true;
    EXPECT_TRUE(endsWithoutWaitingOn(fifo, [&] {
        Result<void> open = file.open(fifo);
        opened = open.ok();
        why = open ? std::string() : open.error().text;
    }));
    EXPECT_FALSE(opened);
    EXPECT_EQ(why, "cannot open " + fifo + ": it is not a regular file");
}

TEST_F(HostileInputTest, FileThatIsNoTiff)
{
    ConversionResult result = convert(std::string(5000, 'x'));
    EXPECT_EQ(result.pageCount, 0u);
    EXPECT_EQ(errors.reports.size(), 1u);
}

// Nothing is deleted to clean up: a print that gave no page and cannot be
// set aside stays where it is, and the user is told where.
TEST_F(HostileInputTest, PrintThatCannotBeSetAsideStaysWhereItIs)
{
    writeWholeFile(unsentFolder(spool), "a file where the folder would go");
    const std::string printFile = spool + "/kept.tif";
    writeWholeFile(printFile, std::string(5000, 'x'));
    ConversionRequest request;
    request.spoolFolder = spool;
    request.target = target;
    request.printFile = printFile;
    request.errors = &errors;
    ConversionResult result = convertPrintFile(request, state.printFileCounter);
    EXPECT_EQ(result.pagesStored, 0u);
    EXPECT_TRUE(fileExists(printFile));
    ASSERT_FALSE(errors.reports.empty());
    EXPECT_NE(errors.reports.back().find("It stays as " + printFile), std::string::npos) << errors.reports.back();
}

TEST_F(HostileInputTest, PageClaimingTenBillionPixelsIsRefused)
{
    // 100000 x 100000 bilevel, one strip "of" 1.25 GB right after the header,
    // then a good page.
    RawDirectory huge = {{256, 4, 100000}, {257, 4, 100000}, {258, 3, 1},      {259, 3, 1},         {262, 3, 0},
                         {273, 4, 8},      {277, 3, 1},      {278, 4, 100000}, {279, 4, 1250000000}};
    ConversionResult result = convert(rawTiff({huge, rawGreyPage(8)}, goodPixels()));
    EXPECT_EQ(result.pageCount, 2u);
    EXPECT_EQ(result.pagesStored, 1u);
    EXPECT_EQ(published.load(), 1u);
    std::vector<TiffPage> pages = storedPages();
    ASSERT_EQ(pages.size(), 1u);
    expectGoodPage(pages[0]);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_NE(errors.reports[0].find("Page 1"), std::string::npos);
    EXPECT_NE(errors.reports[0].find("100000 x 100000"), std::string::npos);
}

TEST_F(HostileInputTest, ColourPageClaimingTenBillionPixelsIsRefused)
{
    RawDirectory huge = {{256, 4, 100000}, {257, 4, 100000}, {259, 3, 1}, {262, 3, 2},
                         {273, 4, 8},      {277, 3, 3},      {278, 4, 1}, {279, 4, 300000}};
    ConversionResult result = convert(rawTiff({rawGreyPage(8), huge}, goodPixels()));
    EXPECT_EQ(result.pagesStored, 1u);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_NE(errors.reports[0].find("Page 2"), std::string::npos);
}

TEST_F(HostileInputTest, StripPastTheEndOfTheFile)
{
    RawDirectory past = rawGreyPage(8);
    past[0].value = past[1].value = 2000;  // 2000 x 2000 grey
    past[7].value = 2000;                  // one strip ...
    past[5].value = 900000000;             // ... far beyond the end
    past[8].value = 4000000;
    ConversionResult result = convert(rawTiff({past, rawGreyPage(8)}, goodPixels()));
    EXPECT_EQ(result.pageCount, 2u);
    EXPECT_EQ(result.pagesStored, 1u);
    std::vector<TiffPage> pages = storedPages();
    ASSERT_EQ(pages.size(), 1u);
    expectGoodPage(pages[0]);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_NE(errors.reports[0].find("Page 1"), std::string::npos);
}

TEST_F(HostileInputTest, TruncatedPrintFile)
{
    std::string whole = home.path() + "/whole.tif";
    ASSERT_TRUE(writePrintFile(whole, {{}, {PrintFormat::Mono}, {}}));
    std::string content = readWholeFile(whole);
    // Cut inside the last page's rows: its directory is lost with its tail.
    ConversionResult result = convert(content.substr(0, content.size() * 3 / 4));
    EXPECT_LE(result.pagesStored, result.pageCount);
    EXPECT_EQ(storedPages().size(), result.pagesStored);
    EXPECT_GE(result.pagesStored, 2u);
}

TEST_F(HostileInputTest, TruncatedInsideTheRowsOfAPage)
{
    // One long strip: the directory survives but the rows end early.
    RawDirectory page = rawGreyPage(8);
    page[0].value = 100;
    page[1].value = page[7].value = 120;
    page[8].value = 12000;
    ConversionResult result = convert(rawTiff({page}, std::string(12000, '\x80')).substr(0, 6000));
    EXPECT_EQ(result.pagesStored, 0u);
    EXPECT_EQ(errors.reports.size(), 1u);
    EXPECT_FALSE(fileExists(target));
}

TEST_F(HostileInputTest, DirectoryLoopEnds)
{
    std::string looped = rawTiff({rawGreyPage(8)}, goodPixels());
    // Point the only directory's link back at itself.
    uint32_t directory = 8 + 64;
    size_t link = directory + 2 + 12 * 9;
    for (int k = 0; k < 4; ++k)
        looped[link + k] = char(directory >> (8 * k) & 0xff);
    ConversionResult result = convert(looped);
    EXPECT_EQ(result.pageCount, 1u);
    EXPECT_EQ(storedPages().size(), 1u);
}

TEST_F(HostileInputTest, PageWithoutSizeOrWithOddSamples)
{
    RawDirectory noSize = rawGreyPage(8);
    noSize.erase(noSize.begin(), noSize.begin() + 2);
    RawDirectory oddBits = rawGreyPage(8);
    oddBits[2].value = 7;
    ConversionResult result = convert(rawTiff({noSize, oddBits, rawGreyPage(8)}, goodPixels()));
    EXPECT_EQ(result.pagesStored, 1u);
    EXPECT_EQ(errors.reports.size(), 2u);
}

TEST_F(HostileInputTest, LongNarrowPageIsRefused)
{
    RawDirectory narrow = rawGreyPage(8);
    narrow[0].value = 8;
    narrow[1].value = narrow[7].value = 19000;
    narrow[8].value = 8 * 19000;
    ConversionResult result = convert(rawTiff({narrow}, std::string(8 * 19000, '\x80')));
    EXPECT_EQ(result.pagesStored, 0u);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_NE(errors.reports[0].find("longer than a fax page"), std::string::npos);
}

TEST_F(HostileInputTest, ManyBadPagesAreSummedUp)
{
    RawDirectory bad = rawGreyPage(8);
    bad[5].value = 900000000;
    ConversionResult result = convert(rawTiff(std::vector<RawDirectory>(12, bad)));
    EXPECT_EQ(result.pageCount, 12u);
    EXPECT_EQ(result.pagesStored, 0u);
    ASSERT_EQ(errors.reports.size(), 6u);
    EXPECT_NE(errors.reports[5].find("12 pages"), std::string::npos);
}

}  // namespace
