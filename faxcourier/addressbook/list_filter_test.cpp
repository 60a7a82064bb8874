#include "faxcourier/addressbook/list_filter.h"

#include <gtest/gtest.h>

using namespace korva;

namespace {

AddressEntry entry(const char* name, const char* fax = "0301", const char* company = "")
{
    return AddressEntry{"MAIL=x,carl", name, fax, company, false};
}

ListFilter letter(char c)
{
    ListFilter filter;
    filter.letter = c;
    return filter;
}

}  // namespace

TEST(ListFilter, FaxOnlyDropsEntriesWithoutANumber)
{
    ListFilter filter;
    EXPECT_FALSE(passesFilter(entry("Anna", ""), filter));
    EXPECT_TRUE(passesFilter(entry("Anna", "1"), filter));
    filter.faxOnly = false;
    EXPECT_TRUE(passesFilter(entry("Anna", ""), filter));
}

TEST(ListFilter, LetterMTakesNamesBeginningWithMInEitherCase)
{
    ListFilter m = letter('M');
    EXPECT_TRUE(passesFilter(entry("Mia"), m));
    EXPECT_TRUE(passesFilter(entry("mike"), m));
    EXPECT_TRUE(passesFilter(entry("M"), m));
    EXPECT_FALSE(passesFilter(entry("Lena"), m));
    EXPECT_FALSE(passesFilter(entry("Nora"), m));
    EXPECT_FALSE(passesFilter(entry("n"), m));
}

TEST(ListFilter, LetterZTakesOnlyNamesBeginningWithZ)
{
    ListFilter z = letter('Z');
    EXPECT_TRUE(passesFilter(entry("Zoe"), z));
    EXPECT_TRUE(passesFilter(entry("zz top"), z));
    EXPECT_FALSE(passesFilter(entry("~tilde"), z));
    EXPECT_FALSE(passesFilter(entry("\xC3\x89mile Zola"), z));
    EXPECT_FALSE(passesFilter(entry("Yann"), z));
}

TEST(ListFilter, TheLetterComesFromTheFiltersLetterFunction)
{
    ListFilter e = letter('E');
    e.letterOf = [](const String& name) { return name.GetAt(0) == '\xC3' ? 'E' : asciiLetter(name); };
    EXPECT_TRUE(passesFilter(entry("\xC3\x89mile Zola"), e));
    EXPECT_TRUE(passesFilter(entry("emma"), e));
    EXPECT_FALSE(passesFilter(entry("Zoe"), e));
}

TEST(ListFilter, NamesBeginningWithDigitsOrPunctuationAppearUnderNoLetter)
{
    for (char c = 'A'; c <= 'Z'; ++c) {
        EXPECT_FALSE(passesFilter(entry("42 Club"), letter(c))) << c;
        EXPECT_FALSE(passesFilter(entry("(office)"), letter(c))) << c;
    }
    EXPECT_TRUE(passesFilter(entry("42 Club"), ListFilter{}));
}

TEST(ListFilter, SearchBoxesMatchAnywhereLetterCaseAside)
{
    ListFilter filter;
    filter.name = "NN";
    EXPECT_TRUE(passesFilter(entry("Anna"), filter));
    EXPECT_FALSE(passesFilter(entry("Ana"), filter));
    filter = ListFilter{};
    filter.number = "30";
    EXPECT_TRUE(passesFilter(entry("Anna", "0301"), filter));
    EXPECT_FALSE(passesFilter(entry("Anna", "0310"), filter));
    filter = ListFilter{};
    filter.company = "row";
    EXPECT_TRUE(passesFilter(entry("Anna", "1", "Yarrow Ltd"), filter));
    EXPECT_FALSE(passesFilter(entry("Anna", "1", "Yarr"), filter));
}

TEST(ListFilter, AnySearchTextTurnsTheLetterOff)
{
    ListFilter boxes;
    EXPECT_EQ(effectiveLetter('B', boxes), 'B');
    boxes.company = "y";
    EXPECT_EQ(effectiveLetter('B', boxes), 0);
    boxes.company.Clear();
    boxes.number = "1";
    EXPECT_EQ(effectiveLetter('B', boxes), 0);
}
