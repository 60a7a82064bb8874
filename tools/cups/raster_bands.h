#pragma once
// How a page of CUPS raster becomes the printer driver's bands: which
// nBitmapFormat it is delivered as and how each raster row is turned into
// one of the driver's rows.

#include <cups/raster.h>

#include "platform/result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace korva::cups {

// Rows in every band but a page's last, which holds what is left.
inline constexpr uint32_t bandRows = 128;

struct BandLayout {
    int32_t format = 0;  // nBitmapFormat: 1, 3 or 5
    int32_t width = 0;   // lWidth
    int32_t xResolution = 0;
    int32_t yResolution = 0;
    uint32_t height = 0;          // rows of the page
    size_t rasterRowBytes = 0;    // cupsBytesPerLine
    size_t rowBytes = 0;          // from one driver row to the next
    size_t usedBytes = 0;         // bytes of a driver row that hold pixels
    bool invert = false;          // the raster counts ink, the driver light
    uint8_t lastByteMask = 0xFF;  // pixel bits of a monochrome row's last byte
};

// The layout for a page header; fails for a kind of raster the driver
// cannot take: 1-bit and 8-bit black or grey, 24-bit RGB.
[[nodiscard]] Result<BandLayout> bandLayoutFor(const cups_page_header2_t& header);

// One raster row into one driver row of `layout.rowBytes` bytes. In a
// monochrome driver row a set bit is white; pad bits come out white.
void convertRow(const BandLayout& layout, const uint8_t* rasterRow, uint8_t* driverRow);

}  // namespace korva::cups
