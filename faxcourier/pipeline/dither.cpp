#include "faxcourier/pipeline/dither.h"

#include <algorithm>

namespace korva {

void ditherFloydSteinberg(const uint8_t* grey, uint32_t width, uint32_t rows, uint8_t* bits)
{
    // Errors in sixteenths, with one spare cell at each end so that the
    // edges need no tests.
    std::vector<int32_t> below(width + 2, 0), next(width + 2, 0);
    for (uint32_t y = 0; y < rows; ++y, grey += width) {
        std::swap(below, next);  // `below` now holds this row's errors
        std::fill(next.begin(), next.end(), 0);
        int32_t* here = below.data() + 1;
        int32_t* under = next.data() + 1;
        int32_t carried = here[0];
        for (uint32_t x = 0; x < width; x += 8) {
            unsigned byte = 0;
            for (uint32_t bit = 0; bit < 8; ++bit) {
                uint32_t at = x + bit;
                int32_t value = grey[at] + ((carried + 8) >> 4);
                bool black = value < 128;
                int32_t error = black ? value : value - 255;
                byte = (byte << 1) | unsigned(black);
                carried = here[at + 1] + 7 * error;
                int32_t* u = under + at;
                u[-1] += 3 * error;
                u[0] += 5 * error;
                u[1] += error;
            }
            *bits++ = uint8_t(byte);
        }
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
