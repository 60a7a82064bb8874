#pragma once
// Turns one printed page into a fax page: turned upright when it is wider
// than high, sampled to 1728 pixels across, reduced to 1 bit.

#include "faxcourier/pipeline/print_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korva {

struct FaxPage {
    uint32_t rows = 0;
    std::vector<uint8_t> bits;  // rows of kFaxWidth / 8 bytes, MSB first, 1 = black
};

class PageConverter {
public:
    // Converts page `page` (from 1) of `file` into `fax`; fails with the
    // reason when the page cannot be read or is out of bounds. `fax` is
    // complete only on success.
    Result<void> convert(PrintFile& file, uint32_t page, FaxPage& fax);

private:
    Result<void> sampleUpright(PrintFile& file, const PageLayout& layout, uint32_t rows);
    Result<void> sampleTurned(PrintFile& file, const PageLayout& layout, uint32_t rows);

    std::vector<uint8_t> grey_;  // the sampled page, one byte a pixel; kept between pages
};

// Grey levels (0 black .. 255 white) of the pixels at `xs` in one row of a
// page in `layout`, written `stride` bytes apart.
void sampleRow(const PageLayout& layout, const uint8_t* row, const uint32_t* xs, uint32_t count, uint8_t* out,
               size_t stride);

}  // namespace korva
