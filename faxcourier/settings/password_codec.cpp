#include "faxcourier/settings/password_codec.h"

#include <cstdio>

namespace korva {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

String EncodePassword(const String& password)
{
    String stored;
    stored.Reserve(password.Length() * 2 + 1);
    for (uint32_t k = 0; k < password.Length(); ++k) {
        auto byte = static_cast<uint8_t>(password.GetAt(k));
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X",
                      static_cast<unsigned>(byte ^ static_cast<uint8_t>(2 * k + kPasswordBase)));
        stored.Append(pair);
    }
    return stored;
}

String DecodePassword(const String& stored)
{
    String password;
    for (uint32_t i = 0; i < stored.Length(); i += 2) {
        unsigned value = 0;
        for (uint32_t j = i; j < i + 2 && j < stored.Length(); ++j) {
            int digit = hexValue(stored.GetAt(j));
            if (digit < 0)
                break;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        auto byte = static_cast<char>(static_cast<uint8_t>(value ^ (i + kPasswordBase)));
        // A damaged stored text can decode to a NUL, which no String holds.
        if (byte != '\0')
            password.AppendChar(byte);
    }
    return password;
}

}  // namespace korva
