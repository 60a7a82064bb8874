#include "tools/faxprint/page_raster.h"

namespace korva::faxprint {
namespace {

size_t roundUpTo4(size_t n) { return (n + 3) & ~size_t(3); }

PageRaster monochromeRaster(Pix* picture)
{
    PageRaster raster;
    const int32_t w = pixGetWidth(picture);
    raster.width = (w + 7) / 8 * 8;
    raster.height = pixGetHeight(picture);
    raster.bitmapFormat = 1;
    raster.stride = size_t(raster.width) / 8;
    raster.bytes.assign(raster.stride * size_t(raster.height), 0xFF);
    // Bits past the picture's width stay white.
    const uint8_t lastMask = w % 8 ? uint8_t(0xFF00 >> (w % 8)) : uint8_t(0xFF);
    for (int32_t y = 0; y < raster.height; ++y) {
        const l_uint32* line = pixGetData(picture) + size_t(y) * size_t(pixGetWpl(picture));
        uint8_t* out = raster.row(y);
        for (size_t i = 0; i < raster.stride; ++i) {
            uint8_t black = uint8_t(GET_DATA_BYTE(line, l_int32(i)));
            if (i + 1 == raster.stride)
                black &= lastMask;
            out[i] = uint8_t(~black);
        }
    }
    return raster;
}

PageRaster greyRaster(Pix* picture)
{
    PageRaster raster;
    raster.width = pixGetWidth(picture);
    raster.height = pixGetHeight(picture);
    raster.bitmapFormat = 3;
    raster.stride = roundUpTo4(size_t(raster.width));
    raster.bytes.assign(raster.stride * size_t(raster.height), 0xFF);
    for (int32_t y = 0; y < raster.height; ++y) {
        const l_uint32* line = pixGetData(picture) + size_t(y) * size_t(pixGetWpl(picture));
        uint8_t* out = raster.row(y);
        for (int32_t x = 0; x < raster.width; ++x)
            out[x] = uint8_t(GET_DATA_BYTE(line, x));
    }
    return raster;
}

PageRaster colourRaster(Pix* picture)
{
    PageRaster raster;
    raster.width = pixGetWidth(picture);
    raster.height = pixGetHeight(picture);
    raster.bitmapFormat = 5;
    raster.stride = roundUpTo4(3 * size_t(raster.width));
    raster.bytes.assign(raster.stride * size_t(raster.height), 0xFF);
    for (int32_t y = 0; y < raster.height; ++y) {
        const l_uint32* line = pixGetData(picture) + size_t(y) * size_t(pixGetWpl(picture));
        uint8_t* out = raster.row(y);
        for (int32_t x = 0; x < raster.width; ++x) {
            l_int32 r, g, b;
            extractRGBValues(line[x], &r, &g, &b);
            out[3 * x] = uint8_t(r);
            out[3 * x + 1] = uint8_t(g);
            out[3 * x + 2] = uint8_t(b);
        }
    }
    return raster;
}

}  // namespace

PageRaster layOutPage(Pix* picture, BandFormat format)
{
    switch (format) {
        case BandFormat::monochrome:
            return monochromeRaster(picture);
        case BandFormat::grey:
            return greyRaster(picture);
        case BandFormat::colour:
            return colourRaster(picture);
    }
    return {};
}

}  // namespace korva::faxprint
