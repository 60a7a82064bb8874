#include "faxcourier/pipeline/print_file.h"

#include "faxcourier/pipeline/page_geometry.h"

#include "platform/file_ops.h"

#include <cerrno>
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

Result<void> PrintFile::open(const std::string& path)
{
    path_ = path;
    pages_ = 0;
    current_ = -1;
    dropWholePage();
    // "m": read with read(), not mmap, so a long file does not swell the
    // process's resident size. "h": only the header now, so that a first
    // page that cannot be read costs that page, not the file.
    if (!tiff_.open(path, "rmh"))
        return Error::withText(tiff_.lastError());
    pages_ = TIFFNumberOfDirectories(tiff_.handle());
    current_ = -1;
    if (pages_ == 0)
        return Error::withText("the file holds no pages");
    return {};
}

Result<void> PrintFile::goToPage(uint32_t page)
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
        return Error::withText(tiffReason(tiff_, "the page cannot be found in the file"));
    return {};
}

Result<PageLayout> PrintFile::selectPage(uint32_t page)
{
    dropWholePage();
    PageLayout layout;
    if (!tiff_.handle() || page == 0 || page > pages_)
        return Error::withText("there is no such page");
    if (Result<void> there = goToPage(page); !there)
        return there.error();
    TIFF* tif = tiff_.handle();
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &layout.width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &layout.height))
        return Error::withText("the page has no size");
    if (Result<PageGeometry> planned = planPage(layout.width, layout.height); !planned)
        return planned.error();
    if (!describeFastLayout(layout)) {
        if (Result<void> loaded = loadWholePage(page, layout); !loaded)
            return loaded.error();
        return layout;
    }
    try {
        row_.assign(size_t(TIFFScanlineSize64(tif)), 0);
    } catch (const std::bad_alloc&) {
        return Error::withText("out of memory", ENOMEM);
    }
    return layout;
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

Result<void> PrintFile::loadWholePage(uint32_t page, PageLayout& layout)
{
    if (uint64_t(layout.width) * layout.height > kMaxWholePagePixels)
        return Error::withText("the page is " + std::to_string(layout.width) + " x " + std::to_string(layout.height) +
                               " pixels in a layout that is read whole, more than " +
                               std::to_string(kMaxWholePagePixels / 1'000'000) + " million pixels");
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
    if (!read)
        return Error::withText("the page's pixel layout cannot be read");
    whole_ = pixConvertTo8(read, 0);
    pixDestroy(&read);
    if (!whole_ || l_uint32(pixGetWidth(whole_)) != layout.width || l_uint32(pixGetHeight(whole_)) != layout.height) {
        dropWholePage();
        return Error::withText("the page cannot be turned grey");
    }
    layout.layout = PixelLayout::Grey;
    layout.zeroIsWhite = false;
    layout.samples = 1;
    row_.assign(layout.width, 0);
    return {};
}

void PrintFile::dropWholePage()
{
    if (whole_)
        pixDestroy(&whole_);
}

Result<const uint8_t*> PrintFile::readRow(uint32_t y)
{
    if (whole_) {
        const l_uint32* line = pixGetData(whole_) + size_t(y) * pixGetWpl(whole_);
        for (size_t x = 0; x < row_.size(); ++x)
            row_[x] = GET_DATA_BYTE(line, x);
        return static_cast<const uint8_t*>(row_.data());
    }
    tiff_.clearError();
    // Compressed rows can only be decoded in order: rows between are read
    // and dropped. Uncompressed ones are reached directly.
    uint32_t from = compressed_ ? nextRow_ : y;
    for (uint32_t at = from; at <= y; ++at) {
        if (TIFFReadScanline(tiff_.handle(), row_.data(), at, 0) != 1)
            return Error::withText("row " + std::to_string(at + 1) + " cannot be read (" +
                                   tiffReason(tiff_, "read error") + ")");
    }
    nextRow_ = y + 1;
    return static_cast<const uint8_t*>(row_.data());
}

}  // namespace korva
