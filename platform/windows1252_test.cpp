#include "platform/windows1252.h"

#include <gtest/gtest.h>

using namespace korva;

namespace {

struct Name {
    const char* utf8;
    const char* ansi;  // nullptr: Windows-1252 cannot hold it
};

const Name kNames[] = {
    {"M\xC3\xBCller", "M\xFCller"},  // German
    {"Stra\xC3\x9F"
     "e",
     "Stra\xDF"
     "e"},                                                  // German
    {"\xC3\x89mile Zola", "\xC9mile Zola"},                 // French
    {"\xC5\x92uvre", "\x8Cuvre"},                           // French
    {"\xE2\x80\x9Equotes\xE2\x80\x9C", "\x84quotes\x93"},   // German quotes
    {"\xE2\x82\xAC 12", "\x80 12"},                         // euro sign
    {"\xC5\xA0koda \xC5\xBD", "\x8Akoda \x8E"},             // Š and Ž are in the page
    {"\xC5\x81\xC3\xB3\x64\xC5\xBA", nullptr},              // Polish Łódź
    {"Ga\xC5\x82\xC4\x85zka", nullptr},                     // Polish
    {"\xCE\xA9mega", nullptr},                              // Greek Ω
    {"\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1", nullptr},  // Greek Athena
    {"plain ~ ASCII", "plain ~ ASCII"},
    {"", ""},
};

}  // namespace

TEST(Windows1252, NamesRoundTripOrAreRefused)
{
    for (const Name& name : kNames) {
        std::optional<std::string> ansi = utf8ToWindows1252(name.utf8);
        if (!name.ansi) {
            EXPECT_FALSE(ansi) << name.utf8;
            continue;
        }
        ASSERT_TRUE(ansi) << name.utf8;
        EXPECT_EQ(*ansi, name.ansi) << name.utf8;
        EXPECT_EQ(windows1252ToUtf8(*ansi), name.utf8);
    }
}

TEST(Windows1252, TextThatIsNotUtf8IsRefused)
{
    for (const char* bad : {"\xE9t\xE9", "\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(utf8ToWindows1252(bad)) << bad;
}

TEST(Windows1252, EveryByteDecodesAndComesBack)
{
    for (int b = 1; b < 256; ++b) {
        std::string byte(1, char(b));
        EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(byte)), byte) << b;
    }
}

TEST(Windows1252, LossyMarksWhatCannotBeHeld)
{
    const struct {
        const char* utf8;
        const char* ansi;
    } cases[] = {
        {"Invoice 42 M\xC3\xBCller", "Invoice 42 M\xFCller"},
        {"\xC5\x81\xC3\xB3\x64\xC5\xBA", "?\xF3\x64?"},
        {"\xF0\x9F\x93\xA0 fax", "? fax"},
        {"bad \xFF byte", "bad ? byte"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8ToWindows1252Lossy(c.utf8), c.ansi) << c.utf8;
}
