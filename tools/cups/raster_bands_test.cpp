#include "tools/cups/raster_bands.h"
#include "tools/cups/testing/value_or_why.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace korva::cups;
using korva::cups::testing::valueOrWhy;

namespace {

cups_page_header2_t header(cups_cspace_t space, unsigned bitsPerPixel, unsigned width, unsigned height = 10)
{
    cups_page_header2_t h;
    std::memset(&h, 0, sizeof h);
    h.HWResolution[0] = 200;
    h.HWResolution[1] = 100;
    h.cupsWidth = width;
    h.cupsHeight = height;
    h.cupsBitsPerPixel = bitsPerPixel;
    h.cupsBitsPerColor = bitsPerPixel == 24 ? 8 : bitsPerPixel;
    h.cupsBytesPerLine = (width * bitsPerPixel + 7) / 8;
    h.cupsColorSpace = space;
    h.cupsColorOrder = CUPS_ORDER_CHUNKED;
    return h;
}

BandLayout layoutOf(const cups_page_header2_t& h)
{
    std::string why;
    auto layout = valueOrWhy(bandLayoutFor(h), why);
    EXPECT_TRUE(layout) << why;
    return layout.value_or(BandLayout{});
}

std::vector<uint8_t> convert(const BandLayout& layout, std::vector<uint8_t> in)
{
    std::vector<uint8_t> out(layout.rowBytes, 0xAA);
    convertRow(layout, in.data(), out.data());
    return out;
}

}  // namespace

TEST(RasterBands, BlackBitsBecomeTheDriversClearBits)
{
    BandLayout layout = layoutOf(header(CUPS_CSPACE_K, 1, 16));
    EXPECT_EQ(layout.format, 1);
    EXPECT_EQ(layout.width, 16);
    EXPECT_EQ(layout.rowBytes, 2u);
    EXPECT_EQ(layout.height, 10u);
    EXPECT_EQ(layout.xResolution, 200);
    EXPECT_EQ(layout.yResolution, 100);
    // Raster: a set bit is ink. Driver: a set bit is white.
    EXPECT_EQ(convert(layout, {0x80, 0x0F}), (std::vector<uint8_t>{0x7F, 0xF0}));
    EXPECT_EQ(convert(layout, {0x00, 0x00}), (std::vector<uint8_t>{0xFF, 0xFF}));
}

TEST(RasterBands, MonochromeWidthRoundsUpToWholeBytesOfWhite)
{
    BandLayout layout = layoutOf(header(CUPS_CSPACE_K, 1, 1653));
    EXPECT_EQ(layout.width, 1656);
    EXPECT_EQ(layout.rowBytes, 207u);
    std::vector<uint8_t> in(207, 0xFF);  // all black, pad bits included
    auto out = convert(layout, in);
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[205], 0x00);
    // 1653 = 206 * 8 + 5: five black pixels, then three white pad pixels.
    EXPECT_EQ(out[206], 0x07);
}

TEST(RasterBands, WhiteSpaceMonochromeIsNotInverted)
{
    for (cups_cspace_t space : {CUPS_CSPACE_W, CUPS_CSPACE_SW}) {
        BandLayout layout = layoutOf(header(space, 1, 12));
        EXPECT_EQ(layout.format, 1);
        EXPECT_EQ(layout.width, 16);
        // In W raster a set bit is already white; pad bits still become white.
        EXPECT_EQ(convert(layout, {0x81, 0x00}), (std::vector<uint8_t>{0x81, 0x0F}));
    }
}

TEST(RasterBands, GreyRowsArePaddedToFourBytes)
{
    BandLayout layout = layoutOf(header(CUPS_CSPACE_SW, 8, 5));
    EXPECT_EQ(layout.format, 3);
    EXPECT_EQ(layout.width, 5);
    EXPECT_EQ(layout.rowBytes, 8u);
    EXPECT_EQ(convert(layout, {0, 64, 128, 200, 255}), (std::vector<uint8_t>{0, 64, 128, 200, 255, 0, 0, 0}));
}

TEST(RasterBands, BlackLevelsBecomeGreyLevels)
{
    BandLayout layout = layoutOf(header(CUPS_CSPACE_K, 8, 4));
    EXPECT_EQ(layout.format, 3);
    EXPECT_EQ(layout.rowBytes, 4u);
    EXPECT_EQ(convert(layout, {0, 1, 128, 255}), (std::vector<uint8_t>{255, 254, 127, 0}));
}

TEST(RasterBands, ColourRowsKeepTheirBytes)
{
    for (cups_cspace_t space : {CUPS_CSPACE_RGB, CUPS_CSPACE_SRGB, CUPS_CSPACE_ADOBERGB}) {
        BandLayout layout = layoutOf(header(space, 24, 3));
        EXPECT_EQ(layout.format, 5);
        EXPECT_EQ(layout.width, 3);
        EXPECT_EQ(layout.rowBytes, 12u);
        EXPECT_EQ(convert(layout, {1, 2, 3, 4, 5, 6, 7, 8, 9}),
                  (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}));
    }
}

TEST(RasterBands, KindsTheDriverCannotTakeAreRefused)
{
    std::string why;
    EXPECT_FALSE(valueOrWhy(bandLayoutFor(header(CUPS_CSPACE_CMYK, 32, 10)), why));
    EXPECT_NE(why.find("not supported"), std::string::npos);
    EXPECT_FALSE(valueOrWhy(bandLayoutFor(header(CUPS_CSPACE_W, 16, 10)), why));
    EXPECT_FALSE(valueOrWhy(bandLayoutFor(header(CUPS_CSPACE_RGB, 8, 10)), why));
    auto banded = header(CUPS_CSPACE_RGB, 24, 10);
    banded.cupsColorOrder = CUPS_ORDER_BANDED;
    EXPECT_FALSE(valueOrWhy(bandLayoutFor(banded), why));
}

TEST(RasterBands, EmptyOrUnresolvedPagesAreRefused)
{
    std::string why;
    EXPECT_FALSE(valueOrWhy(bandLayoutFor(header(CUPS_CSPACE_K, 1, 0)), why));
    EXPECT_FALSE(valueOrWhy(bandLayoutFor(header(CUPS_CSPACE_K, 1, 10, 0)), why));
    auto noResolution = header(CUPS_CSPACE_K, 1, 10);
    noResolution.HWResolution[1] = 0;
    EXPECT_FALSE(valueOrWhy(bandLayoutFor(noResolution), why));
    EXPECT_NE(why.find("resolution"), std::string::npos);
    auto shortRows = header(CUPS_CSPACE_SW, 8, 10);
    shortRows.cupsBytesPerLine = 9;
    EXPECT_FALSE(valueOrWhy(bandLayoutFor(shortRows), why));
}
