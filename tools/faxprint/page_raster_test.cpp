#include "tools/faxprint/page_raster.h"

#include <gtest/gtest.h>

using namespace korva::faxprint;

namespace {

TEST(PageRaster, MonochromeIsWhiteWhereSetAndPaddedToWholeBytes)
{
    PixPtr pix(pixCreate(13, 2, 1));  // 1 = black
    pixSetPixel(pix.get(), 0, 0, 1);
    pixSetPixel(pix.get(), 9, 0, 1);
    pixSetPixel(pix.get(), 12, 1, 1);
    PageRaster raster = layOutPage(pix.get(), BandFormat::monochrome);
    EXPECT_EQ(raster.width, 16);
    EXPECT_EQ(raster.height, 2);
    EXPECT_EQ(raster.bitmapFormat, 1);
    EXPECT_EQ(raster.stride, 2u);
    EXPECT_EQ(raster.bytes, (std::vector<uint8_t>{0x7F, 0xBF, 0xFF, 0xF7}));
}

TEST(PageRaster, MonochromePaddingIsWhiteEvenWhenThePictureLeavesBitsSet)
{
    PixPtr pix(pixCreate(5, 1, 1));
    pixSetAll(pix.get());  // black, pad bits included
    PageRaster raster = layOutPage(pix.get(), BandFormat::monochrome);
    EXPECT_EQ(raster.width, 8);
    EXPECT_EQ(raster.bytes, std::vector<uint8_t>{0x07});
}

TEST(PageRaster, GreyRowsArePaddedToFourBytes)
{
    PixPtr pix(pixCreate(5, 2, 8));
    for (l_uint32 x = 0; x < 5; ++x) {
        pixSetPixel(pix.get(), l_int32(x), 0, x * 10);
        pixSetPixel(pix.get(), l_int32(x), 1, 200 + x);
    }
    PageRaster raster = layOutPage(pix.get(), BandFormat::grey);
    EXPECT_EQ(raster.width, 5);
    EXPECT_EQ(raster.bitmapFormat, 3);
    EXPECT_EQ(raster.stride, 8u);
    ASSERT_EQ(raster.bytes.size(), 16u);
    EXPECT_EQ(std::vector<uint8_t>(raster.row(0), raster.row(0) + 5), (std::vector<uint8_t>{0, 10, 20, 30, 40}));
    EXPECT_EQ(std::vector<uint8_t>(raster.row(1), raster.row(1) + 5), (std::vector<uint8_t>{200, 201, 202, 203, 204}));
}

TEST(PageRaster, ColourIsRedGreenBlueInRowsPaddedToFourBytes)
{
    PixPtr pix(pixCreate(3, 1, 32));
    l_uint32 pixel = 0;
    composeRGBPixel(250, 20, 5, &pixel);
    pixSetPixel(pix.get(), 0, 0, pixel);
    composeRGBPixel(1, 2, 3, &pixel);
    pixSetPixel(pix.get(), 2, 0, pixel);
    PageRaster raster = layOutPage(pix.get(), BandFormat::colour);
    EXPECT_EQ(raster.bitmapFormat, 5);
    EXPECT_EQ(raster.stride, 12u);
    EXPECT_EQ(std::vector<uint8_t>(raster.row(0), raster.row(0) + 9),
              (std::vector<uint8_t>{250, 20, 5, 0, 0, 0, 1, 2, 3}));
}

TEST(PageRaster, TransparentPartsLieOnWhitePaper)
{
    PixPtr pix(pixCreate(2, 1, 32));
    pixSetSpp(pix.get(), 4);
    l_uint32 opaqueBlack = 0, clear = 0;
    composeRGBAPixel(0, 0, 0, 255, &opaqueBlack);
    composeRGBAPixel(0, 0, 0, 0, &clear);
    pixSetPixel(pix.get(), 0, 0, opaqueBlack);
    pixSetPixel(pix.get(), 1, 0, clear);
    PixPtr grey = toBandDepth(pix.get(), BandFormat::grey);
    ASSERT_TRUE(grey);
    PageRaster raster = layOutPage(grey.get(), BandFormat::grey);
    EXPECT_LT(raster.bytes[0], 10);
    EXPECT_GT(raster.bytes[1], 245);
}

TEST(PageRaster, GreyBecomesBlackBelowTheMiddle)
{
    PixPtr pix(pixCreate(3, 1, 8));
    pixSetPixel(pix.get(), 0, 0, 0);
    pixSetPixel(pix.get(), 1, 0, 100);
    pixSetPixel(pix.get(), 2, 0, 200);
    PixPtr mono = toBandDepth(pix.get(), BandFormat::monochrome);
    ASSERT_TRUE(mono);
    PageRaster raster = layOutPage(mono.get(), BandFormat::monochrome);
    EXPECT_EQ(raster.bytes, std::vector<uint8_t>{0x3F});  // black, black, white, padding white
}

}  // namespace
