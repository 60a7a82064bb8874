#pragma once
// Reduction of a grey page to 1 bit a pixel.

#include <cstdint>
#include <vector>

namespace korva {

// Floyd-Steinberg error diffusion (7/16 right, 3/16 below left, 5/16 below,
// 1/16 below right), threshold at mid-grey. `grey` holds `rows` rows of
// `width` bytes (0 black, 255 white); `bits` receives rows of width / 8
// bytes, most significant bit first, 1 for black. `width` is a multiple of 8.
void ditherFloydSteinberg(const uint8_t* grey, uint32_t width, uint32_t rows, uint8_t* bits);

// The same without diffusion, for pages that were 1 bit to begin with: every
// pixel is already black or white, so diffusion would carry no error.
void threshold(const uint8_t* grey, uint32_t width, uint32_t rows, uint8_t* bits);

}  // namespace korva
