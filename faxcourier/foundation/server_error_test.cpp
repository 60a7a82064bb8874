#include "faxcourier/foundation/server_error.h"

#include "faxcourier/foundation/server_error_capture.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <string>

using korva::CapturedServerErrors;
using korva::ShowServerError;

TEST(ServerError, SinkGetsTheThreePartsAndTheText)
{
    CapturedServerErrors captured;
    int owner = 0;
    ShowServerError(&owner, "Error sending fax", "AUTH LOGIN", korva::String("535 authentication failed"));
    auto boxes = captured.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, &owner);
    EXPECT_EQ(boxes[0].caption, "KORVA Fax Printer");
    EXPECT_EQ(boxes[0].message, "Error sending fax");
    EXPECT_EQ(boxes[0].context, "AUTH LOGIN");
    EXPECT_EQ(boxes[0].detail, "535 authentication failed");
    EXPECT_EQ(boxes[0].text, "Error sending fax\nAUTH LOGIN\n535 authentication failed");
}

TEST(ServerError, TextIsCutToTheBoxBuffer)
{
    CapturedServerErrors captured;
    std::string huge(20000, 'r');
    ShowServerError(nullptr, "m", nullptr, korva::String(huge.c_str()));
    auto boxes = captured.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.size(), 9999u);
    EXPECT_EQ(boxes[0].text.rfind("m\n\nrrr", 0), 0u);
    EXPECT_EQ(boxes[0].detail.size(), 20000u);
}

TEST(ServerError, WithoutASinkItIsAPlatformMessageBox)
{
    korva::testing::CapturedBoxes boxes;
    ShowServerError(nullptr, "Unable to connect", "<connect>", korva::String("111"));
    auto shown = boxes.boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "KORVA Fax Printer");
    EXPECT_EQ(shown[0].second, "Unable to connect\n<connect>\n111");
}

TEST(ServerError, CaptureRestoresThePreviousSink)
{
    CapturedServerErrors outer;
    {
        CapturedServerErrors inner;
        ShowServerError(nullptr, "a", "b", "c");
        EXPECT_EQ(inner.boxes().size(), 1u);
    }
    ShowServerError(nullptr, "d", "e", "f");
    ASSERT_EQ(outer.boxes().size(), 1u);
    EXPECT_EQ(outer.boxes()[0].text, "d\ne\nf");
}
