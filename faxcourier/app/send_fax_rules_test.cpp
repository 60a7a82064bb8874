#include "faxcourier/app/send_fax_rules.h"

#include <gtest/gtest.h>

using namespace korva;
using namespace korva::app;

TEST(RecipientLine, SplitsIntoNameNumberAndCompany)
{
    auto row = splitRecipientLine("0301234~Anna Berg~Acme~Ltd");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->number, "0301234");
    EXPECT_EQ(row->name, "Anna Berg");
    EXPECT_EQ(row->company, "Acme~Ltd");
    EXPECT_FALSE(splitRecipientLine("0301234~Anna"));
    EXPECT_FALSE(splitRecipientLine("no tilde"));
}

TEST(RecipientLine, SendingReplacesTildesAndFillsEmptyNameAndCompany)
{
    EXPECT_EQ(recipientLineForSend({"Anna~Berg", "030~1234", "A~C"}), "030_1234~Anna_Berg~A_C");
    EXPECT_EQ(recipientLineForSend({"", "030", ""}), "030~ ~ ");
}

TEST(RecipientLine, SendingCutsEachColumnAt200Characters)
{
    std::string longName(350, 'n');
    std::string line = recipientLineForSend({longName, "1", "c"});
    EXPECT_EQ(line, "1~" + std::string(200, 'n') + "~c");
}

TEST(DocumentList, LineAndPageTotalTexts)
{
    EXPECT_EQ(documentLine("Letter", 3), "Letter (3)");
    EXPECT_EQ(documentLine(std::string(150, 'x'), 1), std::string(100, 'x') + " (1)");
    EXPECT_EQ(pageTotalText(0), "0 pages");
    EXPECT_EQ(pageTotalText(1), "1 page");
    EXPECT_EQ(pageTotalText(2), "2 pages");
}

TEST(CoverPages, EmptySettingGivesNoEntries)
{
    CoverPageChoice choice = chooseCoverPages(String(""), "Urgent");
    EXPECT_TRUE(choice.names.empty());
    EXPECT_EQ(choice.selected, -1);
    EXPECT_TRUE(chooseCoverPages(String("\r\n\r\n"), "").names.empty());
}

TEST(CoverPages, BlankLinesVanishAndNamesAreTrimmedAndSorted)
{
    CoverPageChoice choice = chooseCoverPages(String("Standard\r\n\r\n  urgent  \r\nConfidential"), "");
    EXPECT_EQ(choice.names, (std::vector<std::string>{"Confidential", "Standard", "urgent"}));
}

TEST(CoverPages, SelectsTheWantedNameThenTheFirstLineThenTheFirstEntry)
{
    String setting("Standard\r\nUrgent\r\nConfidential");
    CoverPageChoice wanted = chooseCoverPages(setting, "URGENT");
    EXPECT_EQ(wanted.names[size_t(wanted.selected)], "Urgent");
    CoverPageChoice firstLine = chooseCoverPages(setting, "Missing");
    EXPECT_EQ(firstLine.names[size_t(firstLine.selected)], "Standard");
    // A first line framed by blanks is the fallback as written, which no
    // trimmed entry equals: the first entry is taken.
    CoverPageChoice framed = chooseCoverPages(String("  Urgent \r\nStandard\r\nAlpha"), "Missing");
    EXPECT_EQ(framed.names[size_t(framed.selected)], "Alpha");
}

TEST(SortOrder, LetterCaseAsideThenAsIs)
{
    EXPECT_TRUE(sortsBefore("anna", "Bert"));
    EXPECT_TRUE(sortsBefore("Anna", "anna"));
    EXPECT_FALSE(sortsBefore("bert", "Anna"));
}
