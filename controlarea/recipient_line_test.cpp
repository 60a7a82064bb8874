#include "controlarea/recipient_line.h"

#include <gtest/gtest.h>

using namespace korva;

TEST(RecipientLine, NeedsTwoTildesAfterTrimming)
{
    EXPECT_EQ(acceptRecipientLine("\t 0123~Anna~Acme \r\n"), "0123~Anna~Acme");
    EXPECT_EQ(acceptRecipientLine("~~"), "~~");
    EXPECT_EQ(acceptRecipientLine("0123~~"), "0123~~");
    EXPECT_EQ(acceptRecipientLine("  a ~ b ~ c  "), "a ~ b ~ c");
    EXPECT_FALSE(acceptRecipientLine("0123~Anna"));
    EXPECT_FALSE(acceptRecipientLine(""));
    EXPECT_FALSE(acceptRecipientLine(" \t\r\n"));
    EXPECT_FALSE(acceptRecipientLine("no tilde"));
}

TEST(RecipientLine, TrimOnlyRemovesTheFourBlanks)
{
    EXPECT_EQ(trimBlanks("\v x \f"), "\v x \f");
    EXPECT_EQ(trimBlanks(" \t\r\nx\n"), "x");
}
