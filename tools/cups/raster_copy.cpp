#include "tools/cups/raster_copy.h"

#include "platform/file_ops.h"
#include "platform/translation.h"
#include "tools/cups/raster_bands.h"

#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace korva::cups {
namespace {

struct Tee {
    int in = -1;
    int out = -1;
    size_t total = 0;
    bool atEnd = false;
    int error = 0;
};

// libcups reads through this: whatever it gets is kept in the copy.
ssize_t teeRead(void* context, unsigned char* buffer, size_t length)
{
    auto& tee = *static_cast<Tee*>(context);
    ssize_t n;
    do {
        n = read(tee.in, buffer, length);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        tee.error = errno;
        return -1;
    }
    if (n == 0)
        tee.atEnd = true;
    if (n > 0) {
        if (auto written = writeAll(tee.out, buffer, size_t(n)); !written) {
            tee.error = written.code();
            return -1;
        }
    }
    tee.total += size_t(n);
    return n;
}

bool readPages(cups_raster_t* raster, unsigned& pages, std::string& why)
{
    cups_page_header2_t header;
    std::vector<unsigned char> row;
    while (cupsRasterReadHeader2(raster, &header)) {
        const std::string page = std::to_string(pages + 1);
        auto layout = bandLayoutFor(header, why);
        if (!layout) {
            why = withArguments(translated("CupsBackend", "page %1: %2"), {page, why});
            return false;
        }
        row.resize(layout->rasterRowBytes);
        for (uint32_t y = 0; y < layout->height; ++y) {
            if (cupsRasterReadPixels(raster, row.data(), unsigned(row.size())) != row.size()) {
                why = withArguments(translated("CupsBackend", "page %1: the raster ends after %2 of %3 rows"),
                                    {page, std::to_string(y), std::to_string(layout->height)});
                return false;
            }
        }
        ++pages;
    }
    return true;
}

}  // namespace

CheckedRaster copyCheckedRaster(int in, std::string& why)
{
    CheckedRaster result;
    Tee tee{in, memfd_create("korvafax-raster", MFD_CLOEXEC)};
    if (tee.out < 0) {
        why = withArguments(translated("CupsBackend", "no memory for the raster: %1"), {std::strerror(errno)});
        return result;
    }
    bool ok = false;
    if (cups_raster_t* raster = cupsRasterOpenIO(teeRead, &tee, CUPS_RASTER_READ)) {
        ok = readPages(raster, result.pages, why);
        cupsRasterClose(raster);
        if (ok && !tee.atEnd) {
            why = withArguments(translated("CupsBackend", "unreadable data after page %1"),
                                {std::to_string(result.pages)});
            ok = false;
        }
    } else {
        why = tee.total == 0 ? translated("CupsBackend", "the job holds no raster data")
                             : translated("CupsBackend", "the job's data is not CUPS raster");
    }
    if (tee.error != 0) {
        why = withArguments(translated("CupsBackend", "the raster could not be read: %1"), {std::strerror(tee.error)});
        ok = false;
    }
    if (ok && result.pages == 0) {
        why = translated("CupsBackend", "the document has no pages");
        ok = false;
    }
    if (!ok || lseek(tee.out, 0, SEEK_SET) != 0) {
        close(tee.out);
        return result;
    }
    result.fd = tee.out;
    return result;
}

}  // namespace korva::cups
