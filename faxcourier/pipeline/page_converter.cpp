#include "faxcourier/pipeline/page_converter.h"

#include "faxcourier/pipeline/dither.h"
#include "faxcourier/pipeline/page_geometry.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

namespace korva {
namespace {

template <typename Pixel>
void gather(const uint8_t* row, const uint32_t* xs, uint32_t count, uint8_t* out, size_t stride, Pixel pixel)
{
    for (uint32_t k = 0; k < count; ++k, out += stride)
        *out = pixel(row, xs[k]);
}

// Luminance with the ITU-R 601 weights, in 8-bit fixed point.
inline uint8_t luminance(const uint8_t* rgb) { return uint8_t((77 * rgb[0] + 150 * rgb[1] + 29 * rgb[2] + 128) >> 8); }

// With the pixel size known at compile time the loop is vectorised.
template <uint32_t Step>
void greyPixels(const uint8_t* rgb, uint32_t width, uint32_t step, uint8_t* grey)
{
    const uint32_t at = Step != 0 ? Step : step;
    for (uint32_t x = 0; x < width; ++x, rgb += at)
        grey[x] = luminance(rgb);
}

void greyRow(const uint8_t* rgb, uint32_t width, uint32_t step, uint8_t* grey)
{
    if (step == 3)
        greyPixels<3>(rgb, width, step, grey);
    else if (step == 4)
        greyPixels<4>(rgb, width, step, grey);
    else
        greyPixels<0>(rgb, width, step, grey);
}

}  // namespace

void sampleRow(const PageLayout& layout, const uint8_t* row, const uint32_t* xs, uint32_t count, uint8_t* out,
               size_t stride)
{
    switch (layout.layout) {
        case PixelLayout::Bilevel: {
            // A set bit is black when zero is white.
            uint8_t set = layout.zeroIsWhite ? 0 : 255;
            gather(row, xs, count, out, stride, [set](const uint8_t* r, uint32_t x) {
                return (r[x >> 3] >> (7 - (x & 7)) & 1) ? set : uint8_t(255 - set);
            });
            break;
        }
        case PixelLayout::Grey:
            if (layout.zeroIsWhite)
                gather(row, xs, count, out, stride, [](const uint8_t* r, uint32_t x) { return uint8_t(255 - r[x]); });
            else
                gather(row, xs, count, out, stride, [](const uint8_t* r, uint32_t x) { return r[x]; });
            break;
        case PixelLayout::Rgb: {
            // The whole row is made grey first, in one pass the compiler
            // vectorises; sampling then only picks bytes.
            thread_local std::vector<uint8_t> grey;
            grey.resize(layout.width);
            greyRow(row, layout.width, layout.samples, grey.data());
            gather(grey.data(), xs, count, out, stride, [](const uint8_t* r, uint32_t x) { return r[x]; });
            break;
        }
    }
}

Result<void> PageConverter::convert(PrintFile& file, uint32_t page, FaxPage& fax)
{
    Result<PageLayout> selected = file.selectPage(page);
    if (!selected)
        return selected.error();
    const PageLayout& layout = *selected;
    Result<PageGeometry> planned = planPage(layout.width, layout.height);
    if (!planned)
        return planned.error();
    const PageGeometry& geometry = *planned;
    try {
        grey_.resize(size_t(kFaxWidth) * geometry.faxRows);
        fax.bits.resize(size_t(kFaxWidth / 8) * geometry.faxRows);
    } catch (const std::bad_alloc&) {
        return Error::withText("out of memory", ENOMEM);
    }
    Result<void> sampled =
        geometry.turned ? sampleTurned(file, layout, geometry.faxRows) : sampleUpright(file, layout, geometry.faxRows);
    if (!sampled)
        return sampled;
    fax.rows = geometry.faxRows;
    if (layout.layout == PixelLayout::Bilevel)
        threshold(grey_.data(), kFaxWidth, fax.rows, fax.bits.data());
    else
        ditherFloydSteinberg(grey_.data(), kFaxWidth, fax.rows, fax.bits.data());
    return {};
}

// Fax row j takes printed row ys[j]; fax column i takes printed column xs[i].
Result<void> PageConverter::sampleUpright(PrintFile& file, const PageLayout& layout, uint32_t rows)
{
    std::vector<uint32_t> xs = samplePositions(kFaxWidth, layout.width);
    std::vector<uint32_t> ys = samplePositions(rows, layout.height);
    uint8_t* out = grey_.data();
    for (uint32_t j = 0; j < rows; ++j, out += kFaxWidth) {
        if (j > 0 && ys[j] == ys[j - 1]) {
            std::memcpy(out, out - kFaxWidth, kFaxWidth);
            continue;
        }
        Result<const uint8_t*> row = file.readRow(ys[j]);
        if (!row)
            return row.error();
        sampleRow(layout, *row, xs.data(), kFaxWidth, out, 1);
    }
    return {};
}

// Turned 270 degrees clockwise, the printed page's right edge becomes the
// top: upright pixel (u, v) is printed pixel (width - 1 - v, u). So fax
// column i comes from printed row us[i], and fax row j from printed column
// width - 1 - vs[j].
Result<void> PageConverter::sampleTurned(PrintFile& file, const PageLayout& layout, uint32_t rows)
{
    std::vector<uint32_t> us = samplePositions(kFaxWidth, layout.height);
    std::vector<uint32_t> xs = samplePositions(rows, layout.width);
    for (uint32_t& x : xs)
        x = layout.width - 1 - x;
    for (uint32_t i = 0; i < kFaxWidth; ++i) {
        uint8_t* column = grey_.data() + i;
        if (i > 0 && us[i] == us[i - 1]) {
            for (uint32_t j = 0; j < rows; ++j)
                column[size_t(j) * kFaxWidth] = (column - 1)[size_t(j) * kFaxWidth];
            continue;
        }
        Result<const uint8_t*> row = file.readRow(us[i]);
        if (!row)
            return row.error();
        sampleRow(layout, *row, xs.data(), rows, column, kFaxWidth);
    }
    return {};
}

}  // namespace korva
