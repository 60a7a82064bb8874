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

namespace {

// Floyd-Steinberg written out plainly: errors in sixteenths, one row of
// them from above, one carried to the right.
std::vector<uint8_t> plainFloydSteinberg(const std::vector<uint8_t>& grey, uint32_t width, uint32_t rows)
{
    std::vector<uint8_t> bits(grey.size() / 8, 0);
    std::vector<int32_t> above(width + 2, 0), below(width + 2, 0);
    for (uint32_t y = 0; y < rows; ++y) {
        std::fill(below.begin(), below.end(), 0);
        int32_t right = 0;
        for (uint32_t x = 0; x < width; ++x) {
            int32_t value = grey[size_t(y) * width + x] + ((above[x + 1] + right + 8) >> 4);
            bool black = value < 128;
            int32_t error = value - (black ? 0 : 255);
            if (black)
                bits[(size_t(y) * width + x) / 8] |= uint8_t(0x80 >> (x % 8));
            right = 7 * error;
            below[x] += 3 * error;
            below[x + 1] += 5 * error;
            below[x + 2] += error;
        }
        std::swap(above, below);
    }
    return bits;
}

}  // namespace

TEST(Dither, SameBitsAsThePlainAlgorithmOnMixedPages)
{
    // Pure black and white text next to grey areas, so that error runs
    // into, across and out of the black-and-white stretches.
    constexpr uint32_t width = 1728, rows = 240;
    std::vector<uint8_t> grey(size_t(width) * rows);
    uint32_t seed = 7;
    for (uint32_t y = 0; y < rows; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            uint8_t& pixel = grey[size_t(y) * width + x];
            if ((y / 3 + x / 96) % 3 == 0)
                pixel = uint8_t(seed >> 24);  // noise
            else if ((y / 3 + x / 96) % 3 == 1)
                pixel = (seed >> 28) < 3 ? 0 : 255;  // text
            else
                pixel = uint8_t((x * 255 / width + y) % 256);  // ramp
        }
    std::vector<uint8_t> bits(grey.size() / 8);
    ditherFloydSteinberg(grey.data(), width, rows, bits.data());
    EXPECT_EQ(bits, plainFloydSteinberg(grey, width, rows));
}
