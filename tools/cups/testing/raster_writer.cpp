#include "tools/cups/testing/raster_writer.h"

#include <cstring>
#include <stdexcept>
#include <sys/mman.h>
#include <unistd.h>

namespace korva::cups::testing {
namespace {

unsigned colours(cups_cspace_t space)
{
    switch (space) {
        case CUPS_CSPACE_RGB:
        case CUPS_CSPACE_SRGB:
        case CUPS_CSPACE_ADOBERGB:
            return 3;
        case CUPS_CSPACE_CMYK:
            return 4;
        default:
            return 1;
    }
}

cups_page_header2_t headerFor(const RasterPage& page)
{
    cups_page_header2_t h;
    std::memset(&h, 0, sizeof h);
    std::strcpy(h.MediaClass, "PwgRaster");
    h.HWResolution[0] = page.xResolution;
    h.HWResolution[1] = page.yResolution;
    h.PageSize[0] = page.width * 72 / page.xResolution;
    h.PageSize[1] = page.height * 72 / page.yResolution;
    h.NumCopies = 1;
    h.cupsWidth = page.width;
    h.cupsHeight = page.height;
    h.cupsBitsPerPixel = page.bitsPerPixel;
    h.cupsNumColors = colours(page.colorSpace);
    h.cupsBitsPerColor = page.bitsPerPixel / h.cupsNumColors;
    h.cupsBytesPerLine = page.bytesPerLine();
    h.cupsColorOrder = CUPS_ORDER_CHUNKED;
    h.cupsColorSpace = page.colorSpace;
    return h;
}

}  // namespace

RasterPage patternPage(cups_cspace_t space, unsigned bitsPerPixel, unsigned width, unsigned height)
{
    RasterPage page;
    page.colorSpace = space;
    page.bitsPerPixel = bitsPerPixel;
    page.width = width;
    page.height = height;
    page.data.resize(size_t(page.bytesPerLine()) * height);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned i = 0; i < page.bytesPerLine(); ++i)
            page.row(y)[i] = uint8_t(y * 37 + i * 11 + 5);
    return page;
}

std::string writeRaster(const std::vector<RasterPage>& pages, cups_mode_t mode)
{
    int fd = memfd_create("raster", 0);
    if (fd < 0)
        throw std::runtime_error("memfd_create failed");
    cups_raster_t* raster = cupsRasterOpen(fd, mode);
    if (!raster)
        throw std::runtime_error("cupsRasterOpen failed");
    for (const RasterPage& page : pages) {
        cups_page_header2_t h = headerFor(page);
        if (!cupsRasterWriteHeader2(raster, &h))
            throw std::runtime_error("cupsRasterWriteHeader2 failed");
        if (!page.data.empty() && cupsRasterWritePixels(raster, const_cast<uint8_t*>(page.data.data()),
                                                        unsigned(page.data.size())) != page.data.size())
            throw std::runtime_error("cupsRasterWritePixels failed");
    }
    cupsRasterClose(raster);
    std::string out;
    char buffer[65536];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        out.append(buffer, size_t(n));
    close(fd);
    return out;
}

std::string toHex(const uint8_t* bytes, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

}  // namespace korva::cups::testing
