#include "faxcourier/pipeline/testing/test_tiffs.h"

#include <tiffio.h>

#include <cstring>
#include <memory>

namespace korva::testing {
namespace {

using TiffPtr = std::unique_ptr<TIFF, decltype(&TIFFClose)>;

bool writeMonoPage(TIFF* tif, const PrintPage& page)
{
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 200.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 200.0f);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, page.bandRows);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_LSB2MSB);
    std::vector<uint8_t> row((page.width + 7) / 8);
    for (uint32_t y = 0; y < page.height; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (uint32_t x = 0; x < page.width; ++x) {
            Rgb c = page.paint(x, y);
            if (77 * c.r + 150 * c.g + 29 * c.b < 128 * 256)
                row[x / 8] |= uint8_t(0x80 >> (x % 8));
        }
        if (TIFFWriteScanline(tif, row.data(), y, 0) != 1)
            return false;
    }
    return true;
}

bool writeColourPage(TIFF* tif, const PrintPage& page)
{
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 200.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 200.0f);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 1);
    std::vector<uint8_t> row(size_t(page.width) * 3);
    for (uint32_t y = 0; y < page.height; ++y) {
        for (uint32_t x = 0; x < page.width; ++x) {
            Rgb c = page.paint(x, y);
            row[3 * x] = c.r;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.b;
        }
        if (TIFFWriteScanline(tif, row.data(), y, 0) != 1)
            return false;
    }
    return true;
}

void put16(std::string& out, size_t at, uint32_t value)
{
    out[at] = char(value & 0xff);
    out[at + 1] = char(value >> 8 & 0xff);
}

void put32(std::string& out, size_t at, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        out[at + k] = char(value >> (8 * k) & 0xff);
}

}  // namespace

bool writePrintFile(const std::string& path, const std::vector<PrintPage>& pages)
{
    TiffPtr tif(TIFFOpen(path.c_str(), "w"), TIFFClose);
    if (!tif)
        return false;
    for (const PrintPage& page : pages) {
        bool written =
            page.format == PrintFormat::Mono ? writeMonoPage(tif.get(), page) : writeColourPage(tif.get(), page);
        if (!written || !TIFFWriteDirectory(tif.get()))
            return false;
    }
    return true;
}

std::string rawTiff(const std::vector<RawDirectory>& directories, const std::string& data)
{
    std::string out(8, '\0');
    out[0] = out[1] = 'I';
    put16(out, 2, 42);
    out += data;
    size_t link = 4;
    for (const RawDirectory& directory : directories) {
        if (out.size() % 2)
            out += '\0';
        put32(out, link, uint32_t(out.size()));
        size_t at = out.size();
        out.resize(at + 2 + 12 * directory.size() + 4, '\0');
        put16(out, at, uint32_t(directory.size()));
        for (size_t k = 0; k < directory.size(); ++k) {
            size_t entry = at + 2 + 12 * k;
            put16(out, entry, directory[k].tag);
            put16(out, entry + 2, directory[k].type);
            put32(out, entry + 4, 1);
            if (directory[k].type == 3)
                put16(out, entry + 8, directory[k].value);
            else
                put32(out, entry + 8, directory[k].value);
        }
        link = at + 2 + 12 * directory.size();
    }
    return out;
}

RawDirectory rawGreyPage(uint32_t offset)
{
    return {{256, 4, 8},      {257, 4, 8}, {258, 3, 8}, {259, 3, 1}, {262, 3, 1},
            {273, 4, offset}, {277, 3, 1}, {278, 4, 8}, {279, 4, 64}};
}

}  // namespace korva::testing
