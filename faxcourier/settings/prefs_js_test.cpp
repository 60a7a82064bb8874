#include "faxcourier/settings/prefs_js.h"

#include <gtest/gtest.h>

namespace korva {
namespace {

TEST(PrefsJs, ReadsStringsIntegersAndBooleans)
{
    Prefs prefs = parsePrefsJs(
        "// Mozilla User Preferences\n"
        "/* a block\n comment */\n"
        "user_pref(\"mail.server.server1.hostname\", \"mail.example.com\");\n"
        "user_pref(\"mail.server.server1.port\", 1110);\n"
        "user_pref(\"mail.server.server1.login_at_startup\", true);\n"
        "user_pref(\"negative\", -5);\n");
    EXPECT_EQ(prefs.size(), 4u);
    EXPECT_EQ(prefs.text("mail.server.server1.hostname"), "mail.example.com");
    EXPECT_EQ(prefs.integer("mail.server.server1.port"), 1110);
    EXPECT_EQ(prefs.integer("negative"), -5);
    ASSERT_NE(prefs.find("mail.server.server1.login_at_startup"), nullptr);
    EXPECT_TRUE(std::get<bool>(*prefs.find("mail.server.server1.login_at_startup")));
    EXPECT_FALSE(prefs.text("mail.server.server1.port"));
    EXPECT_FALSE(prefs.integer("missing"));
}

TEST(PrefsJs, UndoesEscapesAndConvertsUtf8ToLatin1)
{
    Prefs prefs = parsePrefsJs(
        "user_pref(\"a\", \"say \\\"hi\\\" \\\\ there\");\n"
        "user_pref(\"b\", \"J\xC3\xBCrgen \\u00e9\\u20ac\");\n"
        "user_pref('c', 'single');\n");
    EXPECT_EQ(prefs.text("a"), "say \"hi\" \\ there");
    EXPECT_EQ(prefs.text("b"), "J\xFCrgen \xE9?");
    EXPECT_EQ(prefs.text("c"), "single");
}

TEST(PrefsJs, SkipsBrokenStatementsAndKeepsTheRest)
{
    Prefs prefs = parsePrefsJs(
        "user_pref(\"unterminated, 1);\n"
        "alert(\"x\");\n"
        "user_pref(\"nine\", 99999999999999999999);\n"
        "user_pref(\"good\", \"yes\");\n"
        "user_pref(\"good\", \"later wins\");\n");
    EXPECT_EQ(prefs.size(), 1u);
    EXPECT_EQ(prefs.text("good"), "later wins");
}

TEST(PrefsJs, EmptyTextGivesNoPrefs)
{
    EXPECT_EQ(parsePrefsJs("").size(), 0u);
    EXPECT_EQ(parsePrefsJs("\n\n  // only a comment").size(), 0u);
}

}  // namespace
}  // namespace korva
