#include "tools/cups/raster_copy.h"

#include "tools/cups/testing/raster_writer.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

using namespace korva::cups;
using namespace korva::cups::testing;

namespace {

// The stream as a readable descriptor, like the job's standard input.
int streamOf(const std::string& bytes)
{
    int fd = memfd_create("input", MFD_CLOEXEC);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    lseek(fd, 0, SEEK_SET);
    return fd;
}

std::string readAll(int fd)
{
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        out.append(buffer, size_t(n));
    return out;
}

CheckedRaster check(const std::string& bytes, std::string& why)
{
    int in = streamOf(bytes);
    auto result = copyCheckedRaster(in);
    close(in);
    if (!result) {
        why = result.error().text;
        return CheckedRaster{};
    }
    return *result;
}

}  // namespace

TEST(RasterCopy, CompleteStreamIsCopiedWhole)
{
    for (cups_mode_t mode : {CUPS_RASTER_WRITE, CUPS_RASTER_WRITE_COMPRESSED, CUPS_RASTER_WRITE_PWG}) {
        const std::string stream =
            writeRaster({patternPage(CUPS_CSPACE_K, 1, 40, 30), patternPage(CUPS_CSPACE_SW, 8, 7, 3),
                         patternPage(CUPS_CSPACE_SRGB, 24, 5, 2)},
                        mode);
        std::string why;
        CheckedRaster copy = check(stream, why);
        ASSERT_GE(copy.fd, 0) << why;
        EXPECT_EQ(copy.pages, 3u);
        EXPECT_EQ(readAll(copy.fd), stream);
        close(copy.fd);
    }
}

TEST(RasterCopy, StreamCutInsideAPageIsRefused)
{
    const std::string stream =
        writeRaster({patternPage(CUPS_CSPACE_K, 1, 64, 20), patternPage(CUPS_CSPACE_K, 1, 64, 20)}, CUPS_RASTER_WRITE);
    std::string why;
    CheckedRaster copy = check(stream.substr(0, stream.size() - 8 * 5), why);
    EXPECT_EQ(copy.fd, -1);
    EXPECT_NE(why.find("page 2"), std::string::npos) << why;
    EXPECT_NE(why.find("ends after 15 of 20 rows"), std::string::npos) << why;
}

TEST(RasterCopy, EmptyInputIsRefused)
{
    std::string why;
    EXPECT_EQ(check("", why).fd, -1);
    EXPECT_EQ(why, "the job holds no raster data");
}

TEST(RasterCopy, OtherDataIsRefused)
{
    std::string why;
    EXPECT_EQ(check("%PDF-1.4\nnot raster at all\n", why).fd, -1);
    EXPECT_EQ(why, "the job's data is not CUPS raster");
}

TEST(RasterCopy, StreamWithoutPagesIsRefused)
{
    std::string why;
    EXPECT_EQ(check(writeRaster({}), why).fd, -1);
    EXPECT_EQ(why, "the document has no pages");
}

TEST(RasterCopy, PageTheDriverCannotTakeIsRefused)
{
    RasterPage cmyk = patternPage(CUPS_CSPACE_CMYK, 32, 4, 2);
    std::string why;
    EXPECT_EQ(check(writeRaster({patternPage(CUPS_CSPACE_K, 1, 8, 1), cmyk}), why).fd, -1);
    EXPECT_EQ(why.rfind("page 2: ", 0), 0u) << why;
}

TEST(RasterCopy, GarbageAfterThePagesIsRefused)
{
    std::string stream = writeRaster({patternPage(CUPS_CSPACE_K, 1, 8, 1)}, CUPS_RASTER_WRITE);
    stream += std::string(4000, '\x7f');
    std::string why;
    EXPECT_EQ(check(stream, why).fd, -1);
    EXPECT_NE(why.find("after page 1"), std::string::npos) << why;
}
