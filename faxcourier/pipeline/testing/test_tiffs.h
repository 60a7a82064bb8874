#pragma once
// Print files for tests, written with libtiff in the exit library's layout,
// and hand-made damaged TIFF files.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korva::testing {

struct Rgb {
    uint8_t r, g, b;
};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

using Painter = std::function<Rgb(uint32_t x, uint32_t y)>;

enum class PrintFormat {
    Mono,    // Group 3, min-is-white, FillOrder 2, a strip per band
    Colour,  // RGB, uncompressed, a row per strip
};

struct PrintPage {
    PrintFormat format = PrintFormat::Colour;
    uint32_t width = 1700;
    uint32_t height = 2200;
    Painter paint = [](uint32_t, uint32_t) { return kWhite; };
    uint32_t bandRows = 100;
};

// Writes the pages as the exit library does; a mono pixel is black when its
// painted colour is darker than mid-grey. False when libtiff fails.
bool writePrintFile(const std::string& path, const std::vector<PrintPage>& pages);

// A classic little-endian TIFF of hand-made directories: each directory is a
// list of (tag, type, value) entries with one SHORT (3) or LONG (4) value.
struct RawEntry {
    uint16_t tag;
    uint16_t type;
    uint32_t value;
};
using RawDirectory = std::vector<RawEntry>;
// `data` is placed right after the header, at offset 8. Directories follow.
std::string rawTiff(const std::vector<RawDirectory>& directories, const std::string& data = {});
// A grey 8 x 8 page whose pixels are `data` (64 bytes at `offset`).
RawDirectory rawGreyPage(uint32_t offset);

}  // namespace korva::testing
