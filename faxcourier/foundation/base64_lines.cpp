#include "faxcourier/foundation/base64_lines.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace korva {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Two output characters per 12 input bits: half the look-ups of one table
// of 64.
constexpr std::array<char, 8192> makePairs()
{
    std::array<char, 8192> pairs{};
    for (int i = 0; i < 4096; ++i) {
        pairs[size_t(2 * i)] = kAlphabet[i >> 6];
        pairs[size_t(2 * i + 1)] = kAlphabet[i & 63];
    }
    return pairs;
}
constexpr std::array<char, 8192> kPairs = makePairs();

char* encodeWhole(const unsigned char* in, size_t groups, char* out)
{
    for (size_t g = 0; g < groups; ++g, in += 3, out += 4) {
        uint32_t bits = uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2];
        std::memcpy(out, &kPairs[size_t(bits >> 12) * 2], 2);
        std::memcpy(out + 2, &kPairs[size_t(bits & 0xFFF) * 2], 2);
    }
    return out;
}

char* encodeTail(const unsigned char* in, size_t rest, char* out)
{
    uint32_t bits = uint32_t(in[0]) << 16 | (rest == 2 ? uint32_t(in[1]) << 8 : 0);
    *out++ = kAlphabet[bits >> 18];
    *out++ = kAlphabet[bits >> 12 & 63];
    *out++ = rest == 2 ? kAlphabet[bits >> 6 & 63] : '=';
    *out++ = '=';
    return out;
}

}  // namespace

void appendBase64Lines(std::string& out, const unsigned char* bytes, size_t count)
{
    size_t lines = (count + kBase64LineBytes - 1) / kBase64LineBytes;
    size_t start = out.size();
    out.resize(start + (count + 2) / 3 * 4 + lines * 2);
    char* at = out.data() + start;
    while (count > 0) {
        size_t piece = count < kBase64LineBytes ? count : kBase64LineBytes;
        at = encodeWhole(bytes, piece / 3, at);
        if (piece % 3 != 0)
            at = encodeTail(bytes + piece / 3 * 3, piece % 3, at);
        *at++ = '\r';
        *at++ = '\n';
        bytes += piece;
        count -= piece;
    }
}

}  // namespace korva
