#pragma once
// The stored form of the password: each byte XOR ((2k + B) mod 256), as two
// upper-case hexadecimal digits. It keeps the password out of plain sight in
// the settings file; it is no encryption.

#include "faxcourier/foundation/korva_string.h"

#include <cstdint>

namespace korva {

// B, the fixed base of the key stream.
constexpr uint8_t kPasswordBase = 0x4B;

String EncodePassword(const String& password);

// Reads the stored text two characters at a time; an odd last character is
// read alone. A pair without hexadecimal digits counts as 0.
String DecodePassword(const String& stored);

}  // namespace korva
