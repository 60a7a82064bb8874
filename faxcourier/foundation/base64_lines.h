#pragma once
// Base64 in 76-character lines (57 bytes each) with CR LF, written straight
// into the caller's text: the attachments of a fax are megabytes of it.

#include <cstddef>
#include <string>

namespace korva {

constexpr size_t kBase64LineBytes = 57;

// Appends the lines for `count` bytes to `out`; the last line may be short.
void appendBase64Lines(std::string& out, const unsigned char* bytes, size_t count);

}  // namespace korva
