#include "faxcourier/net/message_stamp.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <unistd.h>

namespace korva {
namespace {

const MessageStamp* fixedStamp = nullptr;

// Letters, digits, hyphens and dots, not starting or ending with a dot: a
// dot-atom that no header parser splits.
bool usableDomain(const std::string& domain)
{
    if (domain.empty() || domain.size() > 253 || domain.front() == '.' || domain.back() == '.')
        return false;
    for (char c : domain) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!ok)
            return false;
    }
    return domain.find("..") == std::string::npos;
}

}  // namespace

std::string MailDate(std::time_t when)
{
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    localtime_r(&when, &local);
    long offset = local.tm_gmtoff / 60;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0)
        offset = -offset;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", days[local.tm_wday % 7],
                  local.tm_mday, months[local.tm_mon % 12], local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec, sign, offset / 60, offset % 60);
    return text;
}

std::string MessageIdDomain(const String& emailAddress)
{
    std::string address(emailAddress.Text(), emailAddress.Length());
    size_t at = address.rfind('@');
    if (at != std::string::npos && usableDomain(address.substr(at + 1)))
        return address.substr(at + 1);
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0 && usableDomain(host))
        return host;
    return "korvafax.invalid";
}

MessageStamp NewMessageStamp(const String& emailAddress)
{
    if (fixedStamp)
        return *fixedStamp;
    static std::atomic<unsigned> counter{0};
    // The random part keeps two hosts or a reused pid apart.
    static const unsigned salt = std::random_device{}();
    const auto now = std::chrono::system_clock::now();
    const long long micros = std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    char unique[96];
    std::snprintf(unique, sizeof unique, "%lld.%ld.%u.%08x", micros, long(getpid()), ++counter, salt);
    return {MailDate(std::chrono::system_clock::to_time_t(now)),
            "<" + std::string(unique) + "@" + MessageIdDomain(emailAddress) + ">"};
}

FixedMessageStamp::FixedMessageStamp(MessageStamp fixed) : previous_(fixedStamp), fixed_(std::move(fixed))
{
    fixedStamp = &fixed_;
}

FixedMessageStamp::~FixedMessageStamp() { fixedStamp = previous_; }

}  // namespace korva
