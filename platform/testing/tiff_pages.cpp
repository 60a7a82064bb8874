#include "platform/testing/tiff_pages.h"

#include <memory>
#include <tiffio.h>

namespace korva::testing {
namespace {

thread_local bool readFailed = false;
void noteError(const char*, const char*, va_list) { readFailed = true; }

// libtiff's error handler is process-wide: ours only while we read.
class ErrorNote {
public:
    ErrorNote() : previous_(TIFFSetErrorHandler(noteError)) { readFailed = false; }
    ~ErrorNote() { TIFFSetErrorHandler(previous_); }
    ErrorNote(const ErrorNote&) = delete;
    ErrorNote& operator=(const ErrorNote&) = delete;

private:
    TIFFErrorHandler previous_;
};

TiffPage readFields(TIFF* tiff)
{
    TiffPage page;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &page.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &page.height);
    TIFFGetField(tiff, TIFFTAG_ROWSPERSTRIP, &page.rowsPerStrip);
    page.strips = TIFFNumberOfStrips(tiff);
    TIFFGetField(tiff, TIFFTAG_COMPRESSION, &page.compression);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &page.photometric);
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &page.samplesPerPixel);
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &page.bitsPerSample);
    TIFFGetField(tiff, TIFFTAG_FILLORDER, &page.fillOrder);
    TIFFGetField(tiff, TIFFTAG_PLANARCONFIG, &page.planarConfig);
    TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &page.resolutionUnit);
    TIFFGetField(tiff, TIFFTAG_GROUP3OPTIONS, &page.group3Options);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &page.xResolution);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &page.yResolution);
    return page;
}

void readRows(TIFF* tiff, TiffPage& page)
{
    const tmsize_t size = TIFFScanlineSize(tiff);
    for (uint32_t y = 0; y < page.height; ++y) {
        std::vector<uint8_t> row(size_t(size > 0 ? size : 0));
        if (TIFFReadScanline(tiff, row.data(), y, 0) != 1) {
            readFailed = true;
            return;
        }
        page.rows.push_back(std::move(row));
    }
}

}  // namespace

double TiffPage::blackShare(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1) const
{
    uint64_t blacks = 0;
    for (uint32_t y = y0; y < y1; ++y)
        for (uint32_t x = x0; x < x1; ++x)
            blacks += black(x, y);
    return double(blacks) / (double(x1 - x0) * (y1 - y0));
}

std::vector<TiffPage> readTiffPages(const std::string& path, bool* ok)
{
    ErrorNote note;
    std::vector<TiffPage> pages;
    std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpen(path.c_str(), "r"), TIFFClose);
    for (bool more = bool(tiff); more; more = TIFFReadDirectory(tiff.get())) {
        TiffPage page = readFields(tiff.get());
        readRows(tiff.get(), page);
        pages.push_back(std::move(page));
    }
    if (ok)
        *ok = tiff && !readFailed;
    return pages;
}

}  // namespace korva::testing
