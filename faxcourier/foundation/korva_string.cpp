#include "faxcourier/foundation/korva_string.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/string_allocator.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace korva {
namespace {

std::atomic<StringAllocator> allocator{nullptr};

char* allocate(uint64_t size)
{
    if (size > UINT32_MAX)
        return nullptr;
    StringAllocator fn = allocator.load(std::memory_order_relaxed);
    return static_cast<char*>(fn ? fn(size_t(size)) : std::malloc(size_t(size)));
}

const char* orEmpty(const char* text) { return text ? text : ""; }

}  // namespace

StringAllocator setStringAllocator(StringAllocator fn) { return allocator.exchange(fn); }

String::String() = default;

String::String(const char* text)
{
    if (text)
        AssignBytes(text, uint32_t(std::strlen(text)));
    cursor_ = 0xFFFFFFFFu;
}

String::String(const String& other)
{
    if (other.buffer_)
        AssignBytes(other.buffer_, other.length_);
    cursor_ = 0xFFFFFFFFu;
}

String::String(String&& other) noexcept
    : buffer_(std::exchange(other.buffer_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      length_(std::exchange(other.length_, 0)),
      cursor_(std::exchange(other.cursor_, 0xFFFFFFFFu))
{
}

String::String(unsigned resourceId)
{
    if (!LoadResourceString(resourceId))
        LogAlways(-1, "Warning: implicit LoadString(%u) failed\n", resourceId);
    cursor_ = 0xFFFFFFFFu;
}

String::~String() { std::free(buffer_); }

bool String::operator==(const char* text) const { return std::strcoll(Text(), orEmpty(text)) == 0; }
bool String::operator==(const String& other) const { return std::strcoll(Text(), other.Text()) == 0; }
bool String::operator!=(const char* text) const { return !(*this == text); }
bool String::operator!=(const String& other) const { return !(*this == other); }
bool String::operator<(const char* text) const { return std::strcoll(Text(), orEmpty(text)) < 0; }
bool String::operator<(const String& other) const { return std::strcoll(Text(), other.Text()) < 0; }

String& String::operator=(const String& other)
{
    Assign(other);
    return *this;
}

String& String::operator=(const char* text)
{
    Assign(text);
    return *this;
}

String& String::operator=(String&& other) noexcept
{
    if (this != &other) {
        std::free(buffer_);
        buffer_ = std::exchange(other.buffer_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        length_ = std::exchange(other.length_, 0);
        cursor_ = 0;
        other.cursor_ = 0xFFFFFFFFu;
    }
    return *this;
}

bool String::Owns(const char* p) const
{
    auto at = reinterpret_cast<uintptr_t>(p);
    auto begin = reinterpret_cast<uintptr_t>(buffer_);
    return buffer_ && at >= begin && at < begin + capacity_;
}

// The source may lie inside this String's own buffer (self-assignment, a
// tail of itself): it is moved within the buffer or copied before the old
// buffer goes.
bool String::AssignBytes(const char* bytes, uint32_t count)
{
    if (uint64_t(count) + 1 <= capacity_) {
        std::memmove(buffer_, bytes, count);
    } else {
        char* fresh = allocate(uint64_t(count) + 1);
        if (!fresh) {
            std::free(buffer_);
            buffer_ = nullptr;
            capacity_ = length_ = cursor_ = 0;
            LogAlways(-1, "Out Of Memory in String Assignment");
            return false;
        }
        std::memcpy(fresh, bytes, count);
        std::free(buffer_);
        buffer_ = fresh;
        capacity_ = count + 1;
    }
    buffer_[count] = '\0';
    length_ = count;
    cursor_ = 0;
    return true;
}

bool String::Assign(const char* text)
{
    if (!text) {
        Clear();
        return true;
    }
    size_t count = std::strlen(text);
    if (count >= UINT32_MAX) {
        LogAlways(-1, "Out Of Memory in String Assignment");
        return false;
    }
    return AssignBytes(text, uint32_t(count));
}

bool String::Assign(const String& other)
{
    if (!other.buffer_) {
        Clear();
        return true;
    }
    return AssignBytes(other.buffer_, other.length_);
}

bool String::Reserve(uint32_t n)
{
    if (capacity_ >= n)
        return true;
    uint64_t size = uint64_t(n) + 128;
    char* fresh = allocate(size);
    if (!fresh) {
        LogAlways(-1, "Out Of Memory on String Resize");
        return false;
    }
    if (buffer_)
        std::memcpy(fresh, buffer_, length_ + 1);
    else
        fresh[0] = '\0';
    std::free(buffer_);
    buffer_ = fresh;
    capacity_ = uint32_t(size);
    return true;
}

// On a failed Reserve the value stays as it was.
bool String::AppendBytes(const char* bytes, uint32_t count)
{
    uint64_t needed = uint64_t(length_) + count + 1;
    if (needed > UINT32_MAX) {
        LogAlways(-1, "Out Of Memory on String Resize");
        return false;
    }
    ptrdiff_t inside = Owns(bytes) ? bytes - buffer_ : -1;
    if (!Reserve(uint32_t(needed)))
        return false;
    if (inside >= 0)
        bytes = buffer_ + inside;
    std::memmove(buffer_ + length_, bytes, count);
    length_ += count;
    buffer_[length_] = '\0';
    return true;
}

bool String::Append(const char* text)
{
    size_t count = std::strlen(orEmpty(text));
    if (count >= UINT32_MAX) {
        LogAlways(-1, "Out Of Memory on String Resize");
        return false;
    }
    return AppendBytes(orEmpty(text), uint32_t(count));
}

bool String::Append(const String& other) { return AppendBytes(other.Text(), other.length_); }

bool String::AppendChar(char c)
{
    if (length_ >= UINT32_MAX - 2 || !Reserve(length_ + 2))
        return false;
    buffer_[length_++] = c;
    buffer_[length_] = '\0';
    return true;
}

void String::Clear()
{
    length_ = 0;
    cursor_ = 0;
    if (buffer_)
        buffer_[0] = '\0';
}

const char* String::Text() const { return buffer_ ? buffer_ : ""; }

char String::GetAt(uint32_t position) const { return position < length_ ? buffer_[position] : '\0'; }

}  // namespace korva
