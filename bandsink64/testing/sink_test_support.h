#pragma once
// Helpers for tests that drive the built exit library the way the printer
// driver does: load it, watch what it shows on standard error, and read
// the TIFFs it writes back with libtiff.

#include "bandsink64/bandsink64.h"
#include "bandsink64/exit_library_loader.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace korva::testing {

// libbandsink64.so loaded with dlopen and its six exports. Throws when it
// cannot be loaded.
class SinkLibrary : public ExitLibrary {
public:
    explicit SinkLibrary(const std::string& path = exitLibraryPath());
};

// Standard error of this process sent to a file while the object lives.
// The library's message boxes arrive there as "caption: text" lines.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string text() const;
    // Texts of the boxes shown with `caption` ("" for the empty caption).
    std::vector<std::string> boxes(const std::string& caption = "") const;

private:
    std::string path_;
    int saved_ = -1;
};

// Writes JOVPRINT.INI's [ExitLogging] section in the sysconf folder.
void writeExitLogging(const std::string& sysconfFolder, const std::string& level, const std::string& logFile);

// The log file's messages, without their time stamps.
std::vector<std::string> logMessages(const std::string& logFile);

// The per-job print files ("korvafax_*") in the spool folder.
std::vector<std::string> perJobFiles(const std::string& spoolFolder);

struct TiffPage {
    uint32_t width = 0, length = 0, rowsPerStrip = 0, strips = 0;
    uint16_t compression = 0, photometric = 0, samplesPerPixel = 0, bitsPerSample = 0;
    uint16_t fillOrder = 0, planarConfig = 0, resolutionUnit = 0;
    float xResolution = 0, yResolution = 0;
    std::vector<std::vector<uint8_t>> rows;  // decoded scanlines

    // Monochrome (min-is-white): a set bit is black.
    bool black(uint32_t x, uint32_t y) const { return (rows[y][x / 8] >> (7 - x % 8)) & 1; }
    const uint8_t* rgb(uint32_t x, uint32_t y) const { return &rows[y][3 * x]; }
};

// Every page of a TIFF, read with libtiff; empty when it cannot be read.
std::vector<TiffPage> readTiffPages(const std::string& path);

// A monochrome band as the driver delivers it: a set bit is white.
struct DriverMonoBand {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> bits;  // height rows of width / 8 bytes
    DriverMonoBand(int32_t w, int32_t h) : width(w), height(h), bits(size_t(w / 8) * size_t(h), 0xFF) {}
    void setBlack(int32_t x, int32_t y)
    {
        bits[size_t(y) * size_t(width / 8) + size_t(x / 8)] &= uint8_t(~(0x80 >> (x % 8)));
    }
    bool isBlack(int32_t x, int32_t y) const
    {
        return !((bits[size_t(y) * size_t(width / 8) + size_t(x / 8)] >> (7 - x % 8)) & 1);
    }
};

// A band with some black shapes whose position depends on `seed`.
DriverMonoBand patternedMonoBand(int32_t width, int32_t height, unsigned seed);

}  // namespace korva::testing
