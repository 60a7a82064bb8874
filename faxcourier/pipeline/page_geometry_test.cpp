#include "faxcourier/pipeline/page_geometry.h"

#include <gtest/gtest.h>

using namespace korva;

TEST(PageGeometry, LetterAt200DpiGivesTheWorkedExample)
{
    EXPECT_NEAR(faxRowsFor(1700, 2200), 2146.78, 0.01);
    PageGeometry geometry;
    std::string why;
    ASSERT_TRUE(planPage(1700, 2200, geometry, why));
    EXPECT_FALSE(geometry.turned);
    EXPECT_EQ(geometry.faxRows, 2146u);
}

TEST(PageGeometry, LandscapeIsTurnedFirst)
{
    PageGeometry geometry;
    std::string why;
    ASSERT_TRUE(planPage(2200, 1700, geometry, why));
    EXPECT_TRUE(geometry.turned);
    EXPECT_EQ(geometry.faxRows, 2146u);
    EXPECT_EQ(geometry.width, 2200u);
}

TEST(PageGeometry, SquarePageStaysUpright)
{
    PageGeometry geometry;
    std::string why;
    ASSERT_TRUE(planPage(1000, 1000, geometry, why));
    EXPECT_FALSE(geometry.turned);
    EXPECT_EQ(geometry.faxRows, 1658u);  // 1728 x 192 / 200 = 1658.88
}

TEST(PageGeometry, RefusesEmptyHugeAndOverlongPages)
{
    PageGeometry geometry;
    std::string why;
    EXPECT_FALSE(planPage(0, 100, geometry, why));
    EXPECT_FALSE(planPage(100000, 100000, geometry, why));
    EXPECT_NE(why.find("100000 x 100000"), std::string::npos) << why;
    EXPECT_FALSE(planPage(kMaxPageSide + 1, 10, geometry, why));
    EXPECT_TRUE(planPage(kMaxPageSide, kMaxPageSide, geometry, why));
    // 100 wide and 1000 high would be 16588 fax rows.
    EXPECT_FALSE(planPage(100, 1000, geometry, why));
    EXPECT_FALSE(planPage(1000, 100, geometry, why));
    EXPECT_TRUE(planPage(100, 980, geometry, why));
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
