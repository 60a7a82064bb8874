#pragma once
// Reading a print file page by page and row by row. The layouts that the
// exit library writes (1-bit, 8-bit RGB) and plain 8-bit grey are read row
// by row straight from libtiff, so only one row of the printed page is held
// at a time; any other layout is loaded whole by leptonica and turned grey.

#include "faxcourier/pipeline/tiff_file.h"
#include "platform/result.h"

#include <cstdint>
#include <string>
#include <vector>

struct Pix;

namespace korva {

// Leptonica loads a page whole at up to 4 bytes a pixel (and once more to
// turn it grey); this keeps such a page within about 180 MB: A4 or letter at
// 600 dpi.
constexpr uint64_t kMaxWholePagePixels = 36'000'000;

enum class PixelLayout {
    Bilevel,  // 1 bit a pixel, MSB first
    Grey,     // 1 byte a pixel
    Rgb,      // `samples` bytes a pixel, red, green, blue first
};

struct PageLayout {
    uint32_t width = 0;
    uint32_t height = 0;
    PixelLayout layout = PixelLayout::Grey;
    bool zeroIsWhite = false;  // Bilevel and Grey
    uint32_t samples = 1;      // bytes a pixel for Rgb
};

class PrintFile {
public:
    PrintFile() = default;
    ~PrintFile();
    PrintFile(const PrintFile&) = delete;
    PrintFile& operator=(const PrintFile&) = delete;

    // Opens the file and counts its pages; fails with the reason when it is
    // not a TIFF file that can be read.
    Result<void> open(const std::string& path);
    uint32_t pageCount() const { return pages_; }

    // Makes page `page` (from 1) the current one and checks that it can be
    // read within the bounds; its layout, or why not.
    Result<PageLayout> selectPage(uint32_t page);

    // Row `y` of the current page, rows asked for in rising order. The
    // pointer is valid until the next call.
    Result<const uint8_t*> readRow(uint32_t y);

private:
    Result<void> goToPage(uint32_t page);
    bool describeFastLayout(PageLayout& layout);
    Result<void> loadWholePage(uint32_t page, PageLayout& layout);
    void dropWholePage();

    std::string path_;
    TiffFile tiff_;
    uint32_t pages_ = 0;
    long current_ = -1;  // directory libtiff is on
    std::vector<uint8_t> row_;
    bool compressed_ = false;
    uint32_t nextRow_ = 0;  // next row libtiff decodes on a compressed page
    Pix* whole_ = nullptr;  // the current page when loaded by leptonica
};

}  // namespace korva
