#include "faxcourier/widgets/recipient_list.h"

#include <gtest/gtest.h>

using namespace korva::app;

TEST(FaxNumbers, SplitAtSemicolonsSkippingEmptyTokens)
{
    EXPECT_EQ(splitFaxNumbers("111;222"), (std::vector<std::string>{"111", "222"}));
    EXPECT_EQ(splitFaxNumbers(";;111;;;222;"), (std::vector<std::string>{"111", "222"}));
    EXPECT_TRUE(splitFaxNumbers(";;").empty());
}
