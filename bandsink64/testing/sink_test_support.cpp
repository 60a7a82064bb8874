#include "bandsink64/testing/sink_test_support.h"

#include "platform/testing/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <tiffio.h>
#include <unistd.h>

namespace korva::testing {

SinkLibrary::SinkLibrary(const std::string& path)
{
    if (!load(path))
        throw std::runtime_error("cannot load " + path + ": " + error());
}

StderrCapture::StderrCapture()
{
    char pattern[] = "/tmp/korva-stderr-XXXXXX";
    int fd = mkstemp(pattern);
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    path_ = pattern;
    std::fflush(stderr);
    saved_ = dup(2);
    dup2(fd, 2);
    close(fd);
}

StderrCapture::~StderrCapture()
{
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
    unlink(path_.c_str());
}

std::string StderrCapture::text() const
{
    std::fflush(stderr);
    return readWholeFile(path_);
}

std::vector<std::string> StderrCapture::boxes(const std::string& caption) const
{
    const std::string prefix = caption + ": ";
    std::vector<std::string> found;
    std::istringstream lines(text());
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line.substr(prefix.size()));
    }
    return found;
}

void writeExitLogging(const std::string& sysconfFolder, const std::string& level, const std::string& logFile)
{
    std::filesystem::create_directories(sysconfFolder);
    writeWholeFile(sysconfFolder + "/JOVPRINT.INI", "[ExitLogging]\nLevel=" + level + "\nLogFile=" + logFile + "\n");
}

std::vector<std::string> perJobFiles(const std::string& spoolFolder)
{
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(spoolFolder))
        if (entry.path().filename().string().rfind("korvafax_", 0) == 0)
            names.push_back(entry.path().string());
    return names;
}

std::vector<std::string> logMessages(const std::string& logFile)
{
    std::vector<std::string> messages;
    std::istringstream lines(readWholeFile(logFile));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("  ", 0) == 0)
            messages.push_back(line.substr(2));
    }
    return messages;
}

std::vector<TiffPage> readTiffPages(const std::string& path)
{
    std::vector<TiffPage> pages;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return pages;
    do {
        TiffPage page;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &page.width);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &page.length);
        TIFFGetField(tiff, TIFFTAG_ROWSPERSTRIP, &page.rowsPerStrip);
        page.strips = TIFFNumberOfStrips(tiff);
        TIFFGetField(tiff, TIFFTAG_COMPRESSION, &page.compression);
        TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &page.photometric);
        TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &page.samplesPerPixel);
        TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &page.bitsPerSample);
        TIFFGetField(tiff, TIFFTAG_FILLORDER, &page.fillOrder);
        TIFFGetField(tiff, TIFFTAG_PLANARCONFIG, &page.planarConfig);
        TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &page.resolutionUnit);
        TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &page.xResolution);
        TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &page.yResolution);
        const tmsize_t size = TIFFScanlineSize(tiff);
        for (uint32_t y = 0; y < page.length; ++y) {
            std::vector<uint8_t> row(size_t(size > 0 ? size : 0));
            if (TIFFReadScanline(tiff, row.data(), y, 0) < 0)
                break;
            page.rows.push_back(std::move(row));
        }
        pages.push_back(std::move(page));
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
    return pages;
}

DriverMonoBand patternedMonoBand(int32_t width, int32_t height, unsigned seed)
{
    DriverMonoBand band(width, height);
    // A filled block, a diagonal and a few "words", so that runs of every
    // length cross byte boundaries.
    const int32_t left = int32_t(seed * 37 % unsigned(width / 2));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = left; x < left + width / 5 && x < width; ++x) {
            if (y % 50 < 20)
                band.setBlack(x, y);
        }
        band.setBlack((y * 3 + int32_t(seed)) % width, y);
        for (int32_t w = 0; w < 12; ++w) {
            int32_t x0 = (w * 131 + int32_t(seed) * 7) % width;
            if ((y + w) % 17 < 9)
                for (int32_t x = x0; x < x0 + 1 + w % 5 && x < width; ++x)
                    band.setBlack(x, y);
        }
    }
    return band;
}

}  // namespace korva::testing
