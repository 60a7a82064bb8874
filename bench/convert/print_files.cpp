#include "print_files.h"

#include "bandsink64/bandsink64.h"
#include "platform/spool_names.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <dlfcn.h>
#include <memory>
#include <vector>

namespace bench {
namespace {

constexpr int kWidth = 1700, kHeight = 2200, kDpi = 200, kBandRows = 128;

struct ExitLibrary {
    BandSink64StartDocExitFn startDoc = nullptr;
    BandSink64StartPageExitFn startPage = nullptr;
    BandSink64EndPageExitFn endPage = nullptr;
    BandSink64EndDocExitFn endDoc = nullptr;
};
std::unique_ptr<ExitLibrary> exitLibrary;

uint32_t nextRandom(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// A printed letter page: a coloured heading bar, lines of text-like marks,
// a photograph-like block of smooth colour and a few coloured boxes.
std::vector<uint8_t> paintColourPage()
{
    std::vector<uint8_t> rgb(size_t(kWidth) * kHeight * 3, 255);
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = &rgb[(size_t(y) * kWidth + x) * 3];
        p[0] = r, p[1] = g, p[2] = b;
    };
    for (int y = 150; y < 260; ++y)
        for (int x = 150; x < kWidth - 150; ++x)
            put(x, y, 30, 60, 160);
    uint32_t seed = 12345;
    for (int line = 0; line < 40; ++line) {
        int top = 320 + line * 44;
        if (top > 1150 && top < 1850)
            continue;  // the photograph goes here
        for (int x = 150; x < kWidth - 150;) {
            int glyph = 6 + int(nextRandom(seed) % 16);
            int rise = int(nextRandom(seed) % 8);
            for (int y = top + rise; y < top + 26; ++y)
                for (int dx = 0; dx < glyph && x + dx < kWidth - 150; ++dx)
                    put(x + dx, y, 20, 20, 20);
            x += glyph + 3 + int(nextRandom(seed) % 5) + (nextRandom(seed) % 9 == 0 ? 18 : 0);
        }
    }
    for (int y = 1180; y < 1820; ++y)
        for (int x = 150; x < 1050; ++x) {
            uint8_t r = uint8_t(40 + 200 * (x - 150) / 900);
            uint8_t g = uint8_t(60 + 150 * (y - 1180) / 640);
            uint8_t b = uint8_t(128 + 100 * ((x + y) % 97) / 97);
            put(x, y, r, g, b);
        }
    for (int y = 1250; y < 1750; ++y)
        for (int x = 1150; x < 1550; ++x)
            if ((y / 50 + x / 50) % 2)
                put(x, y, 200, 40, 40);
    return rgb;
}

// The same page as a monochrome driver renders it: 1 bit a pixel, set bits
// white, the photograph as an ordered halftone.
std::vector<uint8_t> monoFromColour(const std::vector<uint8_t>& rgb)
{
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    int rowBytes = kWidth / 8;
    std::vector<uint8_t> bits(size_t(rowBytes) * kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < rowBytes * 8; ++x) {
            const uint8_t* p = &rgb[(size_t(y) * kWidth + x) * 3];
            int grey = (77 * p[0] + 150 * p[1] + 29 * p[2]) >> 8;
            if (grey > bayer[y % 4][x % 4] * 16 + 8)
                bits[size_t(y) * rowBytes + x / 8] |= uint8_t(0x80 >> (x % 8));
        }
    return bits;
}

bool writeWithLibtiff(const std::string& path, Colours colours, int pages, const std::vector<uint8_t>& rgb,
                      const std::vector<uint8_t>& mono)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    bool ok = true;
    std::vector<uint8_t> row(kWidth / 8);
    for (int page = 0; ok && page < pages; ++page) {
        bool isMono = colours == Colours::Mono;
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(kDpi));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(kDpi));
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, isMono ? COMPRESSION_CCITTFAX3 : COMPRESSION_NONE);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, isMono ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, isMono ? 1 : 3);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, isMono ? 1 : 8);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, isMono ? kBandRows : 1);
        if (isMono)
            TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_LSB2MSB);
        for (int y = 0; ok && y < kHeight; ++y) {
            if (isMono) {
                for (int k = 0; k < kWidth / 8; ++k)
                    row[k] = uint8_t(~mono[size_t(y) * (kWidth / 8) + k]);
                ok = TIFFWriteScanline(tif, row.data(), y, 0) == 1;
            } else {
                ok = TIFFWriteScanline(tif, const_cast<uint8_t*>(&rgb[size_t(y) * kWidth * 3]), y, 0) == 1;
            }
        }
        ok = ok && TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

bool writeWithExitLibrary(const std::string& path, Colours colours, int pages, const std::vector<uint8_t>& rgb,
                          const std::vector<uint8_t>& mono, const std::string& spoolFolder)
{
    bool isMono = colours == Colours::Mono;
    size_t rowBytes = isMono ? kWidth / 8 : size_t(kWidth) * 3;  // 5100: already a multiple of 4
    std::vector<uint8_t> band(rowBytes * kBandRows);
    void* job = nullptr;
    exitLibrary->startDoc(1, "benchmark page", &job);
    bool ok = job != nullptr;
    for (int page = 0; ok && page < pages; ++page) {
        exitLibrary->startPage(&job);
        for (int top = 0; ok && top < kHeight; top += kBandRows) {
            int rows = std::min(kBandRows, kHeight - top);
            const uint8_t* from = isMono ? &mono[size_t(top) * rowBytes] : &rgb[size_t(top) * rowBytes];
            std::copy(from, from + rows * rowBytes, band.begin());  // the library inverts mono bands
            ok = exitLibrary->endPage(band.data(), rows, kWidth, isMono ? 1 : 5, kDpi, kDpi, top + rows < kHeight,
                                      &job) == 0;
        }
    }
    exitLibrary->endDoc(&job);
    return ok && std::rename(korva::watchFilePath(spoolFolder).c_str(), path.c_str()) == 0;
}

}  // namespace

std::string chooseWriter(const std::string& libraryDir)
{
    std::string path = libraryDir + "/libbandsink64.so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return "libtiff in the exit library's layout (" + path + " not built)";
    auto library = std::make_unique<ExitLibrary>();
    library->startDoc = reinterpret_cast<BandSink64StartDocExitFn>(dlsym(handle, "startDocExit"));
    library->startPage = reinterpret_cast<BandSink64StartPageExitFn>(dlsym(handle, "startPageExit"));
    library->endPage = reinterpret_cast<BandSink64EndPageExitFn>(dlsym(handle, "endPageExit"));
    library->endDoc = reinterpret_cast<BandSink64EndDocExitFn>(dlsym(handle, "endDocExit"));
    if (!library->startDoc || !library->startPage || !library->endPage || !library->endDoc)
        return "libtiff in the exit library's layout (" + path + " lacks its exports)";
    exitLibrary = std::move(library);
    return "the exit library " + path;
}

bool makePrintFile(const std::string& path, Colours colours, int pages, const std::string& spoolFolder)
{
    static const std::vector<uint8_t> rgb = paintColourPage();
    static const std::vector<uint8_t> mono = monoFromColour(rgb);
    if (exitLibrary)
        return writeWithExitLibrary(path, colours, pages, rgb, mono, spoolFolder);
    return writeWithLibtiff(path, colours, pages, rgb, mono);
}

}  // namespace bench
