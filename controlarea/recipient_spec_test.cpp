#include "controlarea/recipient_spec.h"

#include <gtest/gtest.h>

using namespace korva;

TEST(RecipientSpec, NeedsTwoTildesAfterTrimming)
{
    EXPECT_EQ(acceptRecipientSpec("\t 0123~Anna~Acme \r\n"), "0123~Anna~Acme");
    EXPECT_EQ(acceptRecipientSpec("~~"), "~~");
    EXPECT_EQ(acceptRecipientSpec("0123~~"), "0123~~");
    EXPECT_EQ(acceptRecipientSpec("  a ~ b ~ c  "), "a ~ b ~ c");
    EXPECT_FALSE(acceptRecipientSpec("0123~Anna"));
    EXPECT_FALSE(acceptRecipientSpec(""));
    EXPECT_FALSE(acceptRecipientSpec(" \t\r\n"));
    EXPECT_FALSE(acceptRecipientSpec("no tilde"));
}

TEST(RecipientSpec, TrimOnlyRemovesTheFourBlanks)
{
    EXPECT_EQ(trimBlanks("\v x \f"), "\v x \f");
    EXPECT_EQ(trimBlanks(" \t\r\nx\n"), "x");
}
