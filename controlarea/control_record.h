#pragma once
// The one 1500-byte record of control.dat. Every field is 8-bit text,
// NUL-terminated inside its field; the layout is shared with files written
// by other builds, so it must never change.

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace korva {

struct ControlRecord {
    char userName[100];
    char senderName[100];
    char senderEmail[100];
    char senderFax[100];
    char senderPhone[100];
    char senderCompany[100];
    char subject[300];
    char documentName[100];
    char coverPage[100];
    char recipients[4][100];
};

inline constexpr size_t controlRecordSize = 1500;

static_assert(std::is_standard_layout_v<ControlRecord> && std::is_trivially_copyable_v<ControlRecord>);
static_assert(sizeof(ControlRecord) == controlRecordSize);
static_assert(offsetof(ControlRecord, userName) == 0);
static_assert(offsetof(ControlRecord, senderName) == 100);
static_assert(offsetof(ControlRecord, senderEmail) == 200);
static_assert(offsetof(ControlRecord, senderFax) == 300);
static_assert(offsetof(ControlRecord, senderPhone) == 400);
static_assert(offsetof(ControlRecord, senderCompany) == 500);
static_assert(offsetof(ControlRecord, subject) == 600);
static_assert(offsetof(ControlRecord, documentName) == 900);
static_assert(offsetof(ControlRecord, coverPage) == 1000);
static_assert(offsetof(ControlRecord, recipients) == 1100);
static_assert(offsetof(ControlRecord, recipients[3]) == 1400);

// Copies at most N - 1 characters of `value` and a terminating NUL. Bytes
// after the terminator are left as they were.
template <size_t N>
void setField(char (&field)[N], std::string_view value)
{
    size_t n = value.size() < N - 1 ? value.size() : N - 1;
    value.copy(field, n);
    field[n] = '\0';
}

// The field's text: up to its NUL, and never more than N - 1 characters, so
// a field that a foreign writer left without a NUL is still read safely.
template <size_t N>
std::string fieldText(const char (&field)[N])
{
    size_t n = 0;
    while (n < N - 1 && field[n] != '\0')
        ++n;
    return std::string(field, n);
}

}  // namespace korva
