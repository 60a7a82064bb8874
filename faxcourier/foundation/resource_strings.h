#pragma once
// The program's string table, compiled in. Entries are looked up with the
// rules of LoadStringA.

#include <span>

namespace korva {

struct ResourceString {
    unsigned id;
    const char* text;
};

// Message box captions.
constexpr unsigned IDS_CAPTION_FAX = 1;             // "KORVA Fax"
constexpr unsigned IDS_CAPTION_PRINTER = 2;         // "KORVA Fax Printer"
constexpr unsigned IDS_CAPTION_PRINTER_DRIVER = 3;  // "KORVA Fax Printer Driver"
constexpr unsigned IDS_CAPTION_PRINTER_HELPER = 4;  // "KORVA Fax Printer Helper"

// Copies entry `id` into `buffer`, cut to bufferSize - 1 characters and
// NUL-terminated, and returns the number of characters copied; 0 when there
// is no such entry (or no room).
int LoadResourceText(unsigned id, char* buffer, int bufferSize);

// Replaces the table (an empty span restores the compiled-in one) and
// returns the previous one. For tests that need entries of their own.
std::span<const ResourceString> setResourceStringTable(std::span<const ResourceString> table);

}  // namespace korva
