#include "platform/translation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace korva {
namespace {

struct Locale {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    std::vector<std::string> wanted;
};

void set(const char* name, const char* value)
{
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

TEST(Translation, TheLanguagesFollowTheLocaleVariablesInTheirOrder)
{
    const Locale table[] = {
        {nullptr, nullptr, nullptr, nullptr, {}},
        {nullptr, nullptr, nullptr, "C.UTF-8", {}},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", {"de_DE", "de"}},
        {nullptr, nullptr, "fr_CH.UTF-8@euro", "de_DE.UTF-8", {"fr_CH", "fr"}},
        {nullptr, "POSIX", "fr_FR.UTF-8", "de_DE.UTF-8", {}},
        {"fr:de", nullptr, nullptr, "de_AT.UTF-8", {"fr", "de", "de_AT"}},
        {"", nullptr, nullptr, "fr_FR", {"fr_FR", "fr"}},
    };
    for (const Locale& row : table) {
        set("LANGUAGE", row.language);
        set("LC_ALL", row.lcAll);
        set("LC_MESSAGES", row.lcMessages);
        set("LANG", row.lang);
        EXPECT_EQ(wantedLanguages(), row.wanted)
            << (row.lang ? row.lang : "") << " " << (row.language ? row.language : "");
    }
}

TEST(Translation, ArgumentsFillTheirNumbersAndLeaveTheRest)
{
    EXPECT_EQ(withArguments("%2 an %1", {"Anna", "Fax"}), "Fax an Anna");
    EXPECT_EQ(withArguments("100% of %1, %3 stays", {"pages"}), "100% of pages, %3 stays");
    EXPECT_EQ(withArguments("%1", {"%2", "x"}), "%2");
}

}  // namespace
}  // namespace korva
