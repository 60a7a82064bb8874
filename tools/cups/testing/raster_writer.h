#pragma once
// CUPS raster streams written with libcups' own raster writer, for feeding
// the backend in tests.

#include <cups/raster.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korva::cups::testing {

struct RasterPage {
    cups_cspace_t colorSpace = CUPS_CSPACE_K;
    unsigned bitsPerPixel = 1;  // all colours of a pixel, chunked
    unsigned width = 0;
    unsigned height = 0;
    unsigned xResolution = 200;
    unsigned yResolution = 200;
    std::vector<uint8_t> data;  // height rows of bytesPerLine()

    unsigned bytesPerLine() const { return (width * bitsPerPixel + 7) / 8; }
    uint8_t* row(unsigned y) { return data.data() + size_t(y) * bytesPerLine(); }
    const uint8_t* row(unsigned y) const { return data.data() + size_t(y) * bytesPerLine(); }
};

// A page whose bytes follow a pattern that differs from row to row and byte
// to byte, so that a test can tell every row and byte apart.
RasterPage patternPage(cups_cspace_t space, unsigned bitsPerPixel, unsigned width, unsigned height);

// The pages as one raster stream.
std::string writeRaster(const std::vector<RasterPage>& pages, cups_mode_t mode = CUPS_RASTER_WRITE_COMPRESSED);

// Bytes of a stream as lower-case hex, as the recording exit library logs bands.
std::string toHex(const uint8_t* bytes, size_t size);

}  // namespace korva::cups::testing
