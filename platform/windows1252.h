#pragma once
// The program's 8-bit ANSI text is Windows-1252, the code page the fax
// server and control.dat were made for. Text from the desktop is UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace korva {

[[nodiscard]] bool isUtf8(std::string_view text);
// Nothing when the text is not UTF-8 or holds a character Windows-1252 lacks.
[[nodiscard]] std::optional<std::string> utf8ToWindows1252(std::string_view utf8);

// Every byte has a character (the five unassigned ones keep their C1 value).
[[nodiscard]] std::string windows1252ToUtf8(std::string_view ansi);

// For names that must pass anyway (document titles): a character
// Windows-1252 lacks, or a byte that is not UTF-8, becomes '?'.
[[nodiscard]] std::string utf8ToWindows1252Lossy(std::string_view utf8);

// The Windows-1252 byte of a code point, or nothing.
[[nodiscard]] std::optional<char> windows1252Byte(char32_t codePoint);

}  // namespace korva
