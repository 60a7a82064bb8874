#pragma once
// A page laid out as the driver hands it to the exit library, band by band.

#include "tools/faxprint/printed_page.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korva::faxprint {

struct PageRaster {
    int32_t width = 0;  // pixels per row, as endPageExit gets it
    int32_t height = 0;
    int32_t bitmapFormat = 0;  // 1, 3 or 5
    size_t stride = 0;         // bytes from one row to the next
    std::vector<uint8_t> bytes;

    uint8_t* row(int32_t y) { return bytes.data() + size_t(y) * stride; }
};

// Monochrome: a set bit is white, a clear bit black, and the width is
// padded with white to a whole number of bytes. Grey: one byte per pixel.
// Colour: R, G, B. Grey and colour rows are padded to 4 bytes.
PageRaster layOutPage(Pix* picture, BandFormat format);

}  // namespace korva::faxprint
