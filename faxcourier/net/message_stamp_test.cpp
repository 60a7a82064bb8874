#include "faxcourier/net/message_stamp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <unistd.h>

namespace korva {
namespace {

// TZ (and the C library's idea of it) put back when the test ends.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            saved_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard()
    {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

TEST(MessageStamp, DateIsLocalTimeWithItsNumericZone)
{
    const struct {
        const char* zone;
        std::time_t when;
        const char* date;
    } rows[] = {
        {"UTC0", 0, "Thu, 01 Jan 1970 00:00:00 +0000"},
        {"<+0530>-5:30", 1000000000, "Sun, 09 Sep 2001 07:16:40 +0530"},
        {"<-0330>3:30", 1000000000, "Sat, 08 Sep 2001 22:16:40 -0330"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1783512000, "Wed, 08 Jul 2026 14:00:00 +0200"},
    };
    for (const auto& row : rows) {
        ZoneGuard zone(row.zone);
        EXPECT_EQ(MailDate(row.when), row.date) << row.zone;
    }
}

TEST(MessageStamp, MessageIdDomainComesFromTheAddressOrTheHost)
{
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    const std::string fallback = MessageIdDomain("");
    EXPECT_TRUE(fallback == host || fallback == "korvafax.invalid") << fallback;
    EXPECT_EQ(MessageIdDomain("anna@example.com"), "example.com");
    EXPECT_EQ(MessageIdDomain("odd@name@mail.example.org"), "mail.example.org");
    for (const char* unusable : {"anna", "anna@", "anna@.example.com", "anna@example..com",
                                 "anna@example.com>  RCPT TO:<x", "anna@exa mple.com"})
        EXPECT_EQ(MessageIdDomain(unusable), fallback) << unusable;
}

TEST(MessageStamp, EveryMessageIdIsNewAndWellFormed)
{
    const std::regex form(R"(<[0-9a-f.]+@example\.com>)");
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        MessageStamp stamp = NewMessageStamp("anna@example.com");
        EXPECT_TRUE(std::regex_match(stamp.messageId, form)) << stamp.messageId;
        EXPECT_TRUE(seen.insert(stamp.messageId).second) << stamp.messageId;
    }
}

TEST(MessageStamp, FixedStampHoldsWhileItsGuardLives)
{
    {
        FixedMessageStamp fixed({"Thu, 01 Jan 1970 00:00:00 +0000", "<1@example.com>"});
        EXPECT_EQ(NewMessageStamp("x@y.z").messageId, "<1@example.com>");
    }
    EXPECT_NE(NewMessageStamp("x@y.z").messageId, "<1@example.com>");
}

}  // namespace
}  // namespace korva
