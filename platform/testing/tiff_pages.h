#pragma once
// Reading a TIFF back with libtiff, page by page, to check what was written.

#include <cstdint>
#include <string>
#include <vector>

namespace korva::testing {

struct TiffPage {
    uint32_t width = 0, height = 0, rowsPerStrip = 0, strips = 0;
    uint16_t compression = 0, photometric = 0, samplesPerPixel = 0, bitsPerSample = 0;
    uint16_t fillOrder = 0, planarConfig = 0, resolutionUnit = 0;
    uint32_t group3Options = 0;
    float xResolution = 0, yResolution = 0;
    std::vector<std::vector<uint8_t>> rows;  // decoded scanlines, up to the first that fails

    // Monochrome (min-is-white): a set bit is black.
    bool black(uint32_t x, uint32_t y) const { return (rows.at(y).at(x / 8) >> (7 - x % 8)) & 1; }
    const uint8_t* rgb(uint32_t x, uint32_t y) const { return &rows.at(y).at(3 * size_t(x)); }
    // Share of black pixels in [x0, x1) x [y0, y1).
    double blackShare(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1) const;
};

// Every page of a TIFF; empty when it cannot be opened. `ok`, when given,
// turns false when the file cannot be opened or libtiff reports any error.
std::vector<TiffPage> readTiffPages(const std::string& path, bool* ok = nullptr);

}  // namespace korva::testing
