// Searching, trimming, cutting and comparing Strings.
#include "faxcourier/foundation/korva_string.h"

#include <cctype>
#include <cstring>
#include <strings.h>

namespace korva {
namespace {

bool isBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

int sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

bool isDelimiter(char c, const char* delimiters) { return c != '\0' && std::strchr(delimiters, c) != nullptr; }

}  // namespace

void String::TrimRight()
{
    if (!buffer_)
        return;
    while (length_ > 0 && isBlank(buffer_[length_ - 1]))
        --length_;
    buffer_[length_] = '\0';
}

void String::TrimLeft()
{
    if (!buffer_)
        return;
    uint32_t skip = 0;
    while (skip < length_ && isBlank(buffer_[skip]))
        ++skip;
    std::memmove(buffer_, buffer_ + skip, length_ - skip + 1);
    length_ -= skip;
}

void String::Truncate(uint32_t position)
{
    if (position < length_) {
        buffer_[position] = '\0';
        length_ = position;
    }
}

void String::MakeUpper()
{
    for (uint32_t i = 0; i < length_; ++i)
        buffer_[i] = char(std::toupper(static_cast<unsigned char>(buffer_[i])));
}

int String::Find(char c, uint32_t start) const
{
    if (start >= length_)
        return -1;
    const void* found = std::memchr(buffer_ + start, c, length_ - start);
    return found ? int(static_cast<const char*>(found) - buffer_) : -1;
}

int String::FindNoCase(const char* text, uint32_t start) const
{
    const char* wanted = text ? text : "";
    size_t n = std::strlen(wanted);
    for (uint32_t i = start; i < length_; ++i)
        if (strncasecmp(buffer_ + i, wanted, n) == 0)
            return int(i);
    return -1;
}

int String::FindNoCase(const String& text, uint32_t start) const { return FindNoCase(text.Text(), start); }

int String::ReverseFind(char c) const
{
    for (uint32_t i = length_; i > 0; --i)
        if (buffer_[i - 1] == c)
            return int(i - 1);
    return -1;
}

String String::Left(uint32_t n) const
{
    String result;
    if (n >= length_)
        result.Assign(*this);
    else if (n > 0)
        result.AssignBytes(buffer_, n);
    return result;
}

String String::Mid(uint32_t start) const
{
    String result;
    if (start == 0)
        result.Assign(*this);
    else if (start < length_)
        result.AssignBytes(buffer_ + start, length_ - start);
    return result;
}

String String::Mid(uint32_t start, uint32_t n) const
{
    String result;
    if (n == 0 || start >= length_)
        return result;
    uint32_t available = length_ - start;
    result.AssignBytes(buffer_ + start, n < available ? n : available);
    return result;
}

int String::CompareNoCase(const char* text) const
{
    const char* other = text ? text : "";
    if (!buffer_)
        return *other ? -1 : 0;
    return sign(strcasecmp(buffer_, other));
}

int String::CompareNoCaseN(const char* text, uint32_t n) const
{
    const char* other = text ? text : "";
    if (!buffer_)
        return *other && n > 0 ? -1 : 0;
    return sign(strncasecmp(buffer_, other, n));
}

// The cursor is compared unsigned: a String created with a value but never
// assigned holds the all-ones cursor and yields nothing until restarted.
String String::NextToken(const char* delimiters, bool restart)
{
    String token;
    if (!buffer_)
        return token;
    const char* set = delimiters ? delimiters : "";
    if (restart)
        cursor_ = 0;
    while (cursor_ < length_ && isDelimiter(buffer_[cursor_], set))
        ++cursor_;
    uint32_t start = cursor_;
    while (cursor_ < length_ && !isDelimiter(buffer_[cursor_], set))
        ++cursor_;
    if (cursor_ > start && start < length_)
        token.AssignBytes(buffer_ + start, cursor_ - start);
    while (cursor_ < length_ && isDelimiter(buffer_[cursor_], set))
        ++cursor_;
    return token;
}

}  // namespace korva
