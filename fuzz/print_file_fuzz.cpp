// TIFF bytes through the page conversion, as the conversion thread takes a
// print file: open it, convert each page into a fax page and append it to
// the fax document. Whatever the bytes, a page either becomes a whole fax
// page (1728 pixels wide, within the row bound) or is refused with a
// reason, and every page stored can be read back from the fax document.
// Pages above two million pixels are skipped so that one input stays fast
// (the conversion's own bound is far higher); at most three pages are taken.
#include "fuzz/fuzz_support.h"

#include "faxcourier/pipeline/fax_document.h"
#include "faxcourier/pipeline/page_converter.h"
#include "faxcourier/pipeline/page_geometry.h"
#include "faxcourier/pipeline/print_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tiffio.h>

using namespace korva;

namespace {

constexpr uint64_t kLargestFuzzedPage = 2'000'000;
constexpr uint32_t kPagesTaken = 3;

std::string printPath, faxPath;

void quiet(const char*, const char*, va_list) {}

uint16_t storedPages(const std::string& path)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return 0;
    uint16_t pages = 0;
    do {
        uint32_t width = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
        FUZZ_CHECK(width == kFaxWidth);
        ++pages;
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
    return pages;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string& home = korva::fuzz::fuzzHome();
    printPath = home + "/print.tif";
    faxPath = home + "/fax.tif";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(printPath.c_str(), "wb");
    FUZZ_CHECK(file && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0);
    std::remove(faxPath.c_str());

    PrintFile print;
    if (korva::Result<void> opened = print.open(printPath); !opened) {
        FUZZ_CHECK(!opened.error().text.empty());
        return 0;
    }
    PageConverter converter;
    uint16_t stored = 0;
    for (uint32_t page = 1; page <= print.pageCount() && page <= kPagesTaken; ++page) {
        korva::Result<PageLayout> layout = print.selectPage(page);
        if (!layout) {
            FUZZ_CHECK(!layout.error().text.empty());
            continue;
        }
        if (uint64_t(layout->width) * layout->height > kLargestFuzzedPage)
            continue;
        FaxPage fax;
        if (korva::Result<void> converted = converter.convert(print, page, fax); !converted) {
            FUZZ_CHECK(!converted.error().text.empty());
            continue;
        }
        FUZZ_CHECK(fax.rows > 0 && fax.rows <= kMaxFaxRows);
        FUZZ_CHECK(fax.bits.size() == size_t(fax.rows) * (kFaxWidth / 8));
        FUZZ_CHECK(appendFaxPage(faxPath, fax, stored == 0));
        ++stored;
    }
    if (stored == 0) {
        FUZZ_CHECK(std::fopen(faxPath.c_str(), "rb") == nullptr);
        return 0;
    }
    TIFFErrorHandler previous = TIFFSetWarningHandler(quiet);
    FUZZ_CHECK(storedPages(faxPath) == stored);
    TIFFSetWarningHandler(previous);
    return 0;
}
