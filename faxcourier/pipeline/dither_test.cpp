#include "faxcourier/pipeline/dither.h"

#include <gtest/gtest.h>

#include <bit>

using korva::ditherFloydSteinberg;
using korva::threshold;

namespace {

constexpr uint32_t kWidth = 64, kRows = 64;

double blackShare(uint8_t level)
{
    std::vector<uint8_t> grey(kWidth * kRows, level), bits(kWidth * kRows / 8);
    ditherFloydSteinberg(grey.data(), kWidth, kRows, bits.data());
    int blacks = 0;
    for (uint8_t byte : bits)
        blacks += std::popcount(byte);
    return double(blacks) / (kWidth * kRows);
}

}  // namespace

TEST(Dither, BlackAndWhiteStayAsTheyAre)
{
    EXPECT_EQ(blackShare(0), 1.0);
    EXPECT_EQ(blackShare(255), 0.0);
}

TEST(Dither, GreyLevelsBecomeTheMatchingShareOfBlack)
{
    for (int level : {32, 64, 128, 192, 230})
        EXPECT_NEAR(blackShare(uint8_t(level)), 1.0 - level / 255.0, 0.02) << level;
}

TEST(Dither, ErrorIsCarriedToTheRightAndBelow)
{
    // One row of 8 pixels at 100: black (error +100), then 100 + 7/16 x 100
    // = 144 is white (error -111), then 100 - 49 = 51 black, ...
    std::vector<uint8_t> grey(16, 100), bits(2);
    ditherFloydSteinberg(grey.data(), 8, 2, bits.data());
    EXPECT_EQ(bits[0] >> 5, 0b101);
    // The second row starts with the errors from above: 100 + (5 x 100
    // + 3 x (-111)) / 16 = 110, still black.
    EXPECT_EQ(bits[1] >> 7, 1);
}

TEST(Dither, ThresholdSplitsAtMidGrey)
{
    std::vector<uint8_t> grey = {0, 127, 128, 255, 255, 0, 0, 255};
    std::vector<uint8_t> bits(1);
    threshold(grey.data(), 8, 1, bits.data());
    EXPECT_EQ(bits[0], 0b11000110);
}
