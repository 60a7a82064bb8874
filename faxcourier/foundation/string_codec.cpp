// Base64, Windows-1252 to UTF-8 and number reading for Strings.
#include "faxcourier/foundation/korva_string.h"
#include "platform/windows1252.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace korva {
namespace {

const char base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

bool String::EncodeBase64(const void* bytes, uint32_t count)
{
    Clear();
    if (count == 0)
        return true;
    if (!bytes)
        return false;
    uint64_t encoded = (uint64_t(count) + 2) / 3 * 4;
    if (encoded >= UINT32_MAX || !Reserve(uint32_t(encoded + 1)))
        return false;
    auto* in = static_cast<const unsigned char*>(bytes);
    char* out = buffer_;
    uint32_t i = 0;
    for (; i + 3 <= count; i += 3) {
        uint32_t group = uint32_t(in[i]) << 16 | uint32_t(in[i + 1]) << 8 | in[i + 2];
        *out++ = base64Alphabet[group >> 18];
        *out++ = base64Alphabet[group >> 12 & 63];
        *out++ = base64Alphabet[group >> 6 & 63];
        *out++ = base64Alphabet[group & 63];
    }
    if (uint32_t rest = count - i) {
        uint32_t group = uint32_t(in[i]) << 16 | (rest == 2 ? uint32_t(in[i + 1]) << 8 : 0);
        *out++ = base64Alphabet[group >> 18];
        *out++ = base64Alphabet[group >> 12 & 63];
        *out++ = rest == 2 ? base64Alphabet[group >> 6 & 63] : '=';
        *out++ = '=';
    }
    *out = '\0';
    length_ = uint32_t(out - buffer_);
    return true;
}

// The program's 8-bit text is Windows-1252, so "\x80" is the euro sign.
String String::ToUtf8() const
{
    String result;
    if (!buffer_)
        return result;
    result.Assign(windows1252ToUtf8(std::string_view(buffer_, length_)).c_str());
    return result;
}

// Read as a 32-bit strtoul would: a leading "-" negates, a value too large
// gives all ones.
uint32_t String::ParseHex() const
{
    if (!buffer_)
        return 0;
    const char* p = buffer_;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (!std::isxdigit(static_cast<unsigned char>(*p)))
        return 0;
    errno = 0;
    unsigned long long value = std::strtoull(p, nullptr, 16);
    if (errno == ERANGE || value > UINT32_MAX)
        return UINT32_MAX;
    return negative ? uint32_t(0u - uint32_t(value)) : uint32_t(value);
}

bool String::IsNumeric() const
{
    if (!buffer_)
        return false;
    for (uint32_t i = 0; i < length_; ++i)
        if (!std::isdigit(static_cast<unsigned char>(buffer_[i])) && buffer_[i] != '-')
            return false;
    return true;
}

}  // namespace korva
