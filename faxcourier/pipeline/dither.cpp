#include "faxcourier/pipeline/dither.h"

#include <cstring>

namespace korva {
namespace {

// True when all 8 pixels are pure black or pure white.
inline bool allExtreme(const uint8_t* grey)
{
    unsigned extreme = 1;
    for (int k = 0; k < 8; ++k)
        extreme &= uint8_t(grey[k] + 1) <= 1;
    return extreme;
}

inline bool noErrors(const int32_t* errors)
{
    int32_t any = 0;
    for (int k = 0; k < 7; ++k)
        any |= errors[k];
    return any == 0;
}

}  // namespace

void ditherFloydSteinberg(const uint8_t* grey, uint32_t width, uint32_t rows, uint8_t* bits)
{
    // Errors in sixteenths, with a spare cell at each end so that the edges
    // need no tests. `here` holds what this row receives from the one above,
    // `below` what it hands on; the three cells of `below` that a pixel
    // touches are kept in registers until they are final.
    std::vector<int32_t> receivedStore(width + 2, 0), handedStore(width + 2, 0);
    for (uint32_t y = 0; y < rows; ++y, grey += width) {
        std::swap(receivedStore, handedStore);
        const int32_t* here = receivedStore.data() + 1;
        int32_t* below = handedStore.data() + 1;
        int32_t carried = here[0];  // what pixel x receives from the left and above
        int32_t left = 0;           // pending sum for below[x - 1]
        int32_t under = 0;          // pending sum for below[x]
        for (uint32_t x = 0; x < width; x += 8) {
            // Pure black and white with nothing to carry (text, margins):
            // the pixels stay as they are and hand on no error.
            if (carried == 0 && allExtreme(grey + x) && noErrors(here + x + 1)) {
                unsigned byte = 0;
                for (int k = 0; k < 8; ++k)
                    byte = (byte << 1) | unsigned(grey[x + k] == 0);
                *bits++ = uint8_t(byte);
                below[int64_t(x) - 1] = left;
                below[x] = under;
                std::memset(below + x + 1, 0, 6 * sizeof(int32_t));
                left = under = 0;
                carried = here[x + 8];
                continue;
            }
            unsigned byte = 0;
            for (uint32_t at = x; at < x + 8; ++at) {
                int32_t value = grey[at] + ((carried + 8) >> 4);
                int32_t black = value < 128;
                int32_t error = value - (black ? 0 : 255);
                byte = (byte << 1) | unsigned(black);
                carried = here[at + 1] + 7 * error;
                below[int64_t(at) - 1] = left + 3 * error;
                left = under + 5 * error;
                under = error;
            }
            *bits++ = uint8_t(byte);
        }
        below[int64_t(width) - 1] = left;
        below[width] = under;
    }
}

void threshold(const uint8_t* grey, uint32_t width, uint32_t rows, uint8_t* bits)
{
    for (uint64_t at = 0, total = uint64_t(width) * rows; at < total; at += 8) {
        unsigned byte = 0;
        for (uint32_t bit = 0; bit < 8; ++bit)
            byte = (byte << 1) | unsigned(grey[at + bit] < 128);
        *bits++ = uint8_t(byte);
    }
}

}  // namespace korva
