#include "faxcourier/pipeline/print_file.h"

#include "faxcourier/pipeline/page_geometry.h"

#include "platform/file_ops.h"

#include <cstdio>
#include <fcntl.h>
#include <leptonica/allheaders.h>
#include <unistd.h>

namespace korva {
namespace {

std::string tiffReason(const TiffFile& tiff, const std::string& fallback)
{
    return tiff.lastError().empty() ? fallback : tiff.lastError();
}

}  // namespace

PrintFile::~PrintFile() { dropWholePage(); }

bool PrintFile::open(const std::string& path, std::string& why)
{
    path_ = path;
    pages_ = 0;
    current_ = -1;
    dropWholePage();
    // "m": read with read(), not mmap, so a long file does not swell the
    // process's resident size. "h": only the header now, so that a first
    // page that cannot be read costs that page, not the file.
    if (!tiff_.open(path, "rmh")) {
        why = tiff_.lastError();
        return false;
    }
    pages_ = TIFFNumberOfDirectories(tiff_.handle());
    current_ = -1;
    if (pages_ == 0)
        why = "the file holds no pages";
    return pages_ > 0;
}

bool PrintFile::goToPage(uint32_t page, std::string& why)
{
    TIFF* tif = tiff_.handle();
    tiff_.clearError();
    long wanted = long(page) - 1;
    // Pages are normally read in order: step on instead of walking the chain
    // from the start each time.
    bool there = wanted == current_ || (current_ >= 0 && wanted == current_ + 1 && TIFFReadDirectory(tif)) ||
                 TIFFSetDirectory(tif, tdir_t(wanted));
    current_ = there ? wanted : -1;
    if (!there)
        why = tiffReason(tiff_, "the page cannot be found in the file");
    return there;
}

bool PrintFile::selectPage(uint32_t page, PageLayout& layout, std::string& why)
{
    dropWholePage();
    layout = {};
    if (!tiff_.handle() || page == 0 || page > pages_) {
        why = "there is no such page";
        return false;
    }
    if (!goToPage(page, why))
        return false;
    TIFF* tif = tiff_.handle();
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &layout.width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &layout.height)) {
        why = "the page has no size";
        return false;
    }
    PageGeometry geometry;
    if (!planPage(layout.width, layout.height, geometry, why))
        return false;
    if (!describeFastLayout(layout))
        return loadWholePage(page, layout, why);
    try {
        row_.assign(size_t(TIFFScanlineSize64(tif)), 0);
    } catch (const std::bad_alloc&) {
        why = "out of memory";
        return false;
    }
    return true;
}

bool PrintFile::describeFastLayout(PageLayout& layout)
{
    TIFF* tif = tiff_.handle();
    uint16_t bits = 1, samples = 1, planar = PLANARCONFIG_CONTIG, compression = 1;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;  // the default for bilevel pages
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    compressed_ = compression != COMPRESSION_NONE;
    nextRow_ = 0;
    if (TIFFIsTiled(tif) || !TIFFIsCODECConfigured(compression) || compression == COMPRESSION_OJPEG ||
        compression == COMPRESSION_JPEG)
        return false;
    bool greyish = photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK;
    layout.zeroIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
    layout.samples = samples;
    uint64_t rowBytes;
    if (bits == 1 && samples == 1 && greyish) {
        layout.layout = PixelLayout::Bilevel;
        rowBytes = (uint64_t(layout.width) + 7) / 8;
    } else if (bits == 8 && samples == 1 && greyish) {
        layout.layout = PixelLayout::Grey;
        rowBytes = layout.width;
    } else if (bits == 8 && samples >= 3 && samples <= 4 && photometric == PHOTOMETRIC_RGB &&
               planar == PLANARCONFIG_CONTIG) {
        layout.layout = PixelLayout::Rgb;
        rowBytes = uint64_t(layout.width) * samples;
    } else {
        return false;
    }
    return uint64_t(TIFFScanlineSize64(tif)) == rowBytes;
}

bool PrintFile::loadWholePage(uint32_t page, PageLayout& layout, std::string& why)
{
    if (uint64_t(layout.width) * layout.height > kMaxWholePagePixels) {
        why = "the page is " + std::to_string(layout.width) + " x " + std::to_string(layout.height) +
              " pixels in a layout that is read whole, more than " + std::to_string(kMaxWholePagePixels / 1'000'000) +
              " million pixels";
        return false;
    }
    // Opened again by name: the same regular-file check as the first open.
    Pix* read = nullptr;
    if (auto fd = openRegularFile(path_, O_RDONLY)) {
        if (FILE* stream = fdopen(*fd, "rb")) {
            read = pixReadStreamTiff(stream, l_int32(page - 1));
            std::fclose(stream);
        } else {
            close(*fd);
        }
    }
    if (!read) {
        why = "the page's pixel layout cannot be read";
        return false;
    }
    whole_ = pixConvertTo8(read, 0);
    pixDestroy(&read);
    if (!whole_ || l_uint32(pixGetWidth(whole_)) != layout.width || l_uint32(pixGetHeight(whole_)) != layout.height) {
        dropWholePage();
        why = "the page cannot be turned grey";
        return false;
    }
    layout.layout = PixelLayout::Grey;
    layout.zeroIsWhite = false;
    layout.samples = 1;
    row_.assign(layout.width, 0);
    return true;
}

void PrintFile::dropWholePage()
{
    if (whole_)
        pixDestroy(&whole_);
}

const uint8_t* PrintFile::readRow(uint32_t y, std::string& why)
{
    if (whole_) {
        const l_uint32* line = pixGetData(whole_) + size_t(y) * pixGetWpl(whole_);
        for (size_t x = 0; x < row_.size(); ++x)
            row_[x] = GET_DATA_BYTE(line, x);
        return row_.data();
    }
    tiff_.clearError();
    // Compressed rows can only be decoded in order: rows between are read
    // and dropped. Uncompressed ones are reached directly.
    uint32_t from = compressed_ ? nextRow_ : y;
    for (uint32_t at = from; at <= y; ++at) {
        if (TIFFReadScanline(tiff_.handle(), row_.data(), at, 0) != 1) {
            why = "row " + std::to_string(at + 1) + " cannot be read (" + tiffReason(tiff_, "read error") + ")";
            return nullptr;
        }
    }
    nextRow_ = y + 1;
    return row_.data();
}

}  // namespace korva
