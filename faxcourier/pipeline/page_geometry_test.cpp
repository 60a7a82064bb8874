#include "faxcourier/pipeline/page_geometry.h"

#include <gtest/gtest.h>

using namespace korva;

TEST(PageGeometry, LetterAt200DpiGivesTheWorkedExample)
{
    EXPECT_NEAR(faxRowsFor(1700, 2200), 2146.78, 0.01);
    Result<PageGeometry> geometry = planPage(1700, 2200);
    ASSERT_TRUE(geometry);
    EXPECT_FALSE(geometry->turned);
    EXPECT_EQ(geometry->faxRows, 2146u);
}

TEST(PageGeometry, LandscapeIsTurnedFirst)
{
    Result<PageGeometry> geometry = planPage(2200, 1700);
    ASSERT_TRUE(geometry);
    EXPECT_TRUE(geometry->turned);
    EXPECT_EQ(geometry->faxRows, 2146u);
    EXPECT_EQ(geometry->width, 2200u);
}

TEST(PageGeometry, SquarePageStaysUpright)
{
    Result<PageGeometry> geometry = planPage(1000, 1000);
    ASSERT_TRUE(geometry);
    EXPECT_FALSE(geometry->turned);
    EXPECT_EQ(geometry->faxRows, 1658u);  // 1728 x 192 / 200 = 1658.88
}

TEST(PageGeometry, RefusesEmptyHugeAndOverlongPages)
{
    EXPECT_FALSE(planPage(0, 100));
    Result<PageGeometry> huge = planPage(100000, 100000);
    EXPECT_FALSE(huge);
    EXPECT_NE(huge.error().text.find("100000 x 100000"), std::string::npos) << huge.error().text;
    EXPECT_FALSE(planPage(kMaxPageSide + 1, 10));
    EXPECT_TRUE(planPage(kMaxPageSide, kMaxPageSide));
    // 100 wide and 1000 high would be 16588 fax rows.
    EXPECT_FALSE(planPage(100, 1000));
    EXPECT_FALSE(planPage(1000, 100));
    EXPECT_TRUE(planPage(100, 980));
}

TEST(PageGeometry, SamplingTakesNearestPixelCentres)
{
    EXPECT_EQ(samplePositions(4, 4), (std::vector<uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(samplePositions(2, 4), (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(samplePositions(4, 2), (std::vector<uint32_t>{0, 0, 1, 1}));
    std::vector<uint32_t> across = samplePositions(kFaxWidth, 1700);
    EXPECT_EQ(across.front(), 0u);
    EXPECT_EQ(across.back(), 1699u);
    for (size_t k = 1; k < across.size(); ++k)
        EXPECT_LE(across[k] - across[k - 1], 1u);
}
