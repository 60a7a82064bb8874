#include "tools/cups/job_recipients.h"

#include <gtest/gtest.h>

using korva::cups::recipientDocumentName;

namespace {

struct Case {
    const char* options;
    const char* name;  // nullptr: no recipients
    const char* why;   // "" when the options are fine
};

const Case cases[] = {
    {"", nullptr, ""},
    {"media=A4 number-up=2", nullptr, ""},
    {"phone=", nullptr, ""},
    {"phone=0301234", "rcpt:0301234~~", ""},
    {"phone='0301 234' faxPrefix=0", "rcpt:00301 234~~", ""},
    {"korvafax-recipient='0301~Anna Berg~Acme;0302~Bob~'", "rcpt:0301~Anna Berg~Acme;0302~Bob~", ""},
    {"phone=9 faxPrefix=0 korvafax-recipient=' 8~Carl~ ;'", "rcpt:09~~;08~Carl~", ""},
    {"korvafax-recipient=0301~Anna", nullptr, "the recipient \"0301~Anna\" is not number~name~company"},
    {"phone='+49 (30) 123-45/6.7*8#'", "rcpt:+49 (30) 123-45/6.7*8#~~", ""},
    {"phone=0301~x", nullptr,
     "the option phone=\"0301~x\" holds \"~\"; it takes only digits, blanks and + - ( ) / . * #"},
    {"phone='0301;9~~'", nullptr,
     "the option phone=\"0301;9~~\" holds \";\"; it takes only digits, blanks and + - ( ) / . * #"},
    {"phone=0301x", nullptr,
     "the option phone=\"0301x\" holds \"x\"; it takes only digits, blanks and + - ( ) / . * #"},
    {"phone=9 faxPrefix=~", nullptr,
     "the option faxPrefix=\"~\" holds \"~\"; it takes only digits, blanks and + - ( ) / . * #"},
    {"phone=9 faxPrefix='0;1~x~'", nullptr,
     "the option faxPrefix=\"0;1~x~\" holds \";\"; it takes only digits, blanks and + - ( ) / . * #"},
    {"korvafax-recipient=9~Carl~ faxPrefix=0,", nullptr,
     "the option faxPrefix=\"0,\" holds \",\"; it takes only digits, blanks and + - ( ) / . * #"},
};

TEST(JobRecipients, OptionsBecomeTheRcptDocumentName)
{
    for (const Case& c : cases) {
        auto made = recipientDocumentName(c.options);
        const std::optional<std::string> name = made ? *made : std::nullopt;
        EXPECT_EQ(name.has_value(), c.name != nullptr) << c.options;
        if (name && c.name) {
            EXPECT_EQ(*name, c.name) << c.options;
        }
        EXPECT_EQ(made ? std::string() : made.error().text, c.why) << c.options;
    }
}

TEST(JobRecipients, ANameLongerThanTheControlRecordHoldsIsRefused)
{
    const std::string line = "0301234567~" + std::string(40, 'n') + "~";
    EXPECT_TRUE(recipientDocumentName("korvafax-recipient='" + line + ";1~~'").ok());
    auto tooLong = recipientDocumentName("korvafax-recipient='" + line + ";" + line + "'");
    ASSERT_FALSE(tooLong);
    EXPECT_EQ(tooLong.error().text, "the recipients take 110 characters; at most 99 fit, \"rcpt:\" included");
}

}  // namespace
