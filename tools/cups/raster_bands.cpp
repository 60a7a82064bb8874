#include "tools/cups/raster_bands.h"

#include "platform/translation.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace korva::cups {
namespace {

size_t roundUp4(size_t n) { return (n + 3) & ~size_t(3); }

bool isGrey(cups_cspace_t space) { return space == CUPS_CSPACE_W || space == CUPS_CSPACE_SW; }
bool isBlack(cups_cspace_t space) { return space == CUPS_CSPACE_K; }
bool isRgb(cups_cspace_t space)
{
    return space == CUPS_CSPACE_RGB || space == CUPS_CSPACE_SRGB || space == CUPS_CSPACE_ADOBERGB;
}

bool chooseFormat(const cups_page_header2_t& h, BandLayout& layout)
{
    const size_t width = h.cupsWidth;
    if (h.cupsBitsPerPixel == 1 && (isGrey(h.cupsColorSpace) || isBlack(h.cupsColorSpace))) {
        layout.format = 1;
        layout.usedBytes = layout.rowBytes = (width + 7) / 8;
        layout.width = int32_t(layout.rowBytes * 8);
        layout.invert = isBlack(h.cupsColorSpace);
        if (width % 8)
            layout.lastByteMask = uint8_t(0xFF << (8 - width % 8));
        return true;
    }
    if (h.cupsBitsPerPixel == 8 && (isGrey(h.cupsColorSpace) || isBlack(h.cupsColorSpace))) {
        layout.format = 3;
        layout.width = int32_t(width);
        layout.usedBytes = width;
        layout.rowBytes = roundUp4(width);
        layout.invert = isBlack(h.cupsColorSpace);
        return true;
    }
    if (h.cupsBitsPerPixel == 24 && isRgb(h.cupsColorSpace) && h.cupsColorOrder == CUPS_ORDER_CHUNKED) {
        layout.format = 5;
        layout.width = int32_t(width);
        layout.usedBytes = 3 * width;
        layout.rowBytes = roundUp4(3 * width);
        return true;
    }
    return false;
}

}  // namespace

Result<BandLayout> bandLayoutFor(const cups_page_header2_t& h)
{
    constexpr unsigned maxWidth = 1u << 20;
    if (h.cupsWidth == 0 || h.cupsHeight == 0 || h.cupsWidth > maxWidth ||
        h.cupsHeight > unsigned(std::numeric_limits<int32_t>::max())) {
        return Error::withText(withArguments(translated("CupsBackend", "the page is %1 x %2 pixels"),
                                             {std::to_string(h.cupsWidth), std::to_string(h.cupsHeight)}));
    }
    if (h.HWResolution[0] == 0 || h.HWResolution[1] == 0 || h.HWResolution[0] > 100000 || h.HWResolution[1] > 100000) {
        return Error::withText(translated("CupsBackend", "the page has no valid resolution"));
    }
    BandLayout layout;
    if (!chooseFormat(h, layout)) {
        return Error::withText(
            withArguments(translated("CupsBackend", "raster of %1 bits per pixel in colour space %2 is not supported"),
                          {std::to_string(h.cupsBitsPerPixel), std::to_string(int(h.cupsColorSpace))}));
    }
    if (h.cupsBytesPerLine < layout.usedBytes) {
        return Error::withText(translated("CupsBackend", "the page's rows are shorter than its width"));
    }
    layout.xResolution = int32_t(h.HWResolution[0]);
    layout.yResolution = int32_t(h.HWResolution[1]);
    layout.height = h.cupsHeight;
    layout.rasterRowBytes = h.cupsBytesPerLine;
    return layout;
}

void convertRow(const BandLayout& layout, const uint8_t* rasterRow, uint8_t* driverRow)
{
    if (layout.invert) {
        for (size_t i = 0; i < layout.usedBytes; ++i)
            driverRow[i] = uint8_t(~rasterRow[i]);
    } else {
        std::memcpy(driverRow, rasterRow, layout.usedBytes);
    }
    if (layout.format == 1)
        driverRow[layout.usedBytes - 1] |= uint8_t(~layout.lastByteMask);
    std::fill(driverRow + layout.usedBytes, driverRow + layout.rowBytes, uint8_t(0));
}

}  // namespace korva::cups
