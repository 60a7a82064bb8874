#include "platform/windows1252.h"

#include <cstdint>

namespace korva {

namespace {

// 0x80 to 0x9F; the unassigned bytes keep their C1 code point, as Windows
// converts them.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t codePointOf(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte; }

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Reads one UTF-8 sequence at `at`; nothing for a malformed one, which
// then covers one byte.
std::optional<char32_t> nextCodePoint(std::string_view s, size_t& at)
{
    auto lead = static_cast<unsigned char>(s[at++]);
    if (lead < 0x80)
        return lead;
    int more = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
    if (more < 0 || lead >= 0xF5)
        return std::nullopt;
    char32_t c = lead & (0x3F >> more);
    size_t start = at;
    for (int i = 0; i < more; ++i) {
        if (at >= s.size() || (static_cast<unsigned char>(s[at]) & 0xC0) != 0x80) {
            at = start;
            return std::nullopt;
        }
        c = (c << 6) | (static_cast<unsigned char>(s[at++]) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[more] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        return std::nullopt;
    return c;
}

}  // namespace

std::optional<char> windows1252Byte(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return char(codePoint);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == codePoint)
            return char(0x80 + i);
    return std::nullopt;
}

bool isUtf8(std::string_view text)
{
    for (size_t at = 0; at < text.size();)
        if (!nextCodePoint(text, at))
            return false;
    return true;
}

std::optional<std::string> utf8ToWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        std::optional<char32_t> c = nextCodePoint(utf8, at);
        std::optional<char> byte = c ? windows1252Byte(*c) : std::nullopt;
        if (!byte)
            return std::nullopt;
        out += *byte;
    }
    return out;
}

std::string utf8ToWindows1252Lossy(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        std::optional<char32_t> c = nextCodePoint(utf8, at);
        std::optional<char> byte = c ? windows1252Byte(*c) : std::nullopt;
        out += byte ? *byte : '?';
    }
    return out;
}

std::string windows1252ToUtf8(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (char byte : ansi)
        appendUtf8(out, codePointOf(static_cast<unsigned char>(byte)));
    return out;
}

}  // namespace korva
