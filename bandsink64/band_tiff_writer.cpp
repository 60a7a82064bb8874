#include "bandsink64/band_tiff_writer.h"

#include "bandsink64/exit_job.h"
#include "bandsink64/exit_log.h"
#include "platform/message_box.h"
#include "platform/translation.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korva {
namespace {

size_t roundUpTo4(size_t n) { return (n + 3) & ~size_t(3); }

// TIFFOpen(path, "w") on a new file created 0600: the print file holds what
// the user printed, and a file of that name already there is never another
// document's to overwrite.
TIFF* openPrivateTiff(const std::string& path)
{
    if (path.empty())
        return nullptr;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::fchmod(fd, 0600) != 0) {
        ::close(fd);
        return nullptr;
    }
    TIFF* tiff = TIFFFdOpen(fd, path.c_str(), "w");
    if (!tiff) {
        ::close(fd);
        ::unlink(path.c_str());
    }
    return tiff;
}

void setMonochromeFields(TIFF* tiff, const Band& band)
{
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, double(band.xResolution));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, double(band.yResolution));
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(band.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(band.height));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(band.height));
    TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_LSB2MSB);
}

void setRgbFields(TIFF* tiff, const Band& band)
{
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, double(band.xResolution));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, double(band.yResolution));
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(band.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(band.height));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1);
}

bool writeRow(ExitJob& job, void* row, int32_t r)
{
    if (TIFFWriteScanline(job.tiff, row, uint32_t(job.pageRows + r), 0) >= 0)
        return true;
    job.writeFailed = true;
    return false;
}

int32_t writeMonochromeBand(ExitJob& job, const Band& band)
{
    if (job.firstBand) {
        exitLog(3, "First band, Initializing monochrome TIFF header");
        setMonochromeFields(job.tiff, band);
    } else {
        exitLog(3, "Appending TIFF data since this is not the first band");
    }
    job.firstBand = 0;
    // The driver's rows cover whole bytes only. libtiff reads one byte more
    // for a width that is not a multiple of 8, so such rows go through a
    // buffer whose last, partial byte is white instead of being taken from
    // beyond the row (or the band).
    const size_t stride = size_t(band.width) / 8;
    const bool partialByte = band.width % 8 != 0;
    std::vector<uint8_t> padded(partialByte ? stride + 1 : 0, 0);
    int32_t result = 0;
    for (int32_t r = 0; r < band.height; ++r) {
        uint8_t* row = band.bits + size_t(r) * stride;
        for (size_t i = 0; i < stride; ++i)
            row[i] = uint8_t(~row[i]);
        uint8_t* scanline = row;
        if (partialByte) {
            std::copy(row, row + stride, padded.begin());
            scanline = padded.data();
        }
        if (!writeRow(job, scanline, r)) {
            result = -2;
            break;
        }
    }
    job.pageRows += band.height;
    return result;
}

int32_t writeGreyBand(ExitJob& job, const Band& band)
{
    if (job.firstBand)
        setRgbFields(job.tiff, band);
    job.firstBand = 0;
    const size_t width = size_t(band.width);
    const size_t stride = bandRowStride(greyBitmap, band.width);
    std::vector<uint8_t> rgb(roundUpTo4(3 * width));
    int32_t result = 0;
    for (int32_t r = 0; r < band.height; ++r) {
        const uint8_t* grey = band.bits + size_t(r) * stride;
        for (size_t x = 0; x < width; ++x)
            rgb[3 * x] = rgb[3 * x + 1] = rgb[3 * x + 2] = grey[x];
        if (!writeRow(job, rgb.data(), r)) {
            result = -2;
            break;
        }
    }
    job.pageRows += band.height;
    return result;
}

int32_t writeColourBand(ExitJob& job, const Band& band)
{
    if (job.firstBand) {
        exitLog(3, "First band, Initializing color TIFF header");
        setRgbFields(job.tiff, band);
    } else {
        exitLog(3, "Appending TIFF data since this is not the first band");
    }
    job.firstBand = 0;
    const size_t stride = bandRowStride(colourBitmap, band.width);
    int32_t result = 0;
    for (int32_t r = 0; r < band.height; ++r) {
        if (!writeRow(job, band.bits + size_t(r) * stride, r)) {
            result = -2;
            break;
        }
    }
    job.pageRows += band.height;
    return result;
}

// A band without rows to take is ignored like an unknown format.
bool hasUsableRows(const Band& band) { return band.width > 0 && band.height > 0 && band.bits; }

int32_t finishPage(ExitJob& job, int32_t result)
{
    // No band of this page had a known format, so the page has no fields:
    // its directory would make the whole file unreadable.
    if (job.firstBand) {
        exitLog(3, "No band of a known format on this page, so no TIFF directory is written");
        return result;
    }
    exitLogf(3, "No longer banding, so write out the TIFF directory. Image Height is %d", job.pageRows);
    TIFFSetField(job.tiff, TIFFTAG_IMAGELENGTH, uint32_t(job.pageRows));
    // A page whose directory is not written is lost: say so.
    if (!TIFFWriteDirectory(job.tiff)) {
        job.writeFailed = true;
        result = -2;
    }
    return result;
}

}  // namespace

size_t bandRowStride(int32_t format, int32_t width)
{
    const size_t w = width > 0 ? size_t(width) : 0;
    switch (format) {
        case monochromeBitmap:
            return w / 8;
        case greyBitmap:
            return roundUpTo4(w);
        case colourBitmap:
            return roundUpTo4(3 * w);
        default:
            return 0;
    }
}

int32_t openJobTiff(ExitJob& job)
{
    exitLogf(3, "Creating %s", job.jobFilePath.c_str());
    job.tiff = openPrivateTiff(job.jobFilePath);
    if (job.tiff) {
        job.fileCreated = true;
        return 0;
    }
    const std::string message = exitLogText(
        "Cannot open %s. Check to make sure you have enough disk space.  You should have at least 50mb free. "
        "This may also happen if another application has the image file open.",
        job.jobFilePath.c_str());
    exitLog(1, message);
    showMessageBox("", exitBoxText(withArguments(
                           translated("ExitLibrary",
                                      "Cannot open %1. Check to make sure you have enough disk space.  You should have "
                                      "at least 50mb free. This may also happen if another application has the image "
                                      "file open."),
                           {job.jobFilePath})));
    return -1;
}

int32_t writeBand(ExitJob& job, const Band& band)
{
    if (!job.tiff) {
        exitLog(1, "appendTIFF called without a TIFF file being open");
        return -1;
    }
    int32_t result = 0;
    if (hasUsableRows(band)) {
        switch (band.format) {
            case monochromeBitmap:
                result = writeMonochromeBand(job, band);
                break;
            case greyBitmap:
                result = writeGreyBand(job, band);
                break;
            case colourBitmap:
                result = writeColourBand(job, band);
                break;
            default:
                break;
        }
    }
    if (band.banding)
        return 0;
    return finishPage(job, result);
}

}  // namespace korva
