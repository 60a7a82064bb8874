#include "tools/cups/band_feeder.h"

#include "platform/translation.h"
#include "platform/windows1252.h"
#include "tools/cups/raster_bands.h"

#include <algorithm>
#include <vector>

namespace korva::cups {
namespace {

std::string bandFailure(int32_t result, unsigned page)
{
    if (result == BANDSINK64_NO_TIFF)
        return translated("CupsBackend", "the print file could not be created in the spool folder");
    return withArguments(translated("CupsBackend", "page %1 could not be written completely to the print file"),
                         {std::to_string(page)});
}

bool feedPage(const ExitLibrary& library, cups_raster_t* raster, const BandLayout& layout, unsigned page, void** job,
              std::string& why)
{
    library.startPageExit(job);
    std::vector<uint8_t> band(layout.rowBytes * bandRows);
    std::vector<uint8_t> row(layout.rasterRowBytes);
    for (uint32_t top = 0; top < layout.height; top += bandRows) {
        const uint32_t rows = std::min(bandRows, layout.height - top);
        for (uint32_t r = 0; r < rows; ++r) {
            if (cupsRasterReadPixels(raster, row.data(), unsigned(row.size())) != row.size()) {
                why =
                    withArguments(translated("CupsBackend", "page %1 could not be read again"), {std::to_string(page)});
                return false;
            }
            convertRow(layout, row.data(), band.data() + r * layout.rowBytes);
        }
        const int32_t banding = top + rows < layout.height ? 1 : 0;
        const int32_t result = library.endPageExit(band.data(), int32_t(rows), layout.width, layout.format,
                                                   layout.xResolution, layout.yResolution, banding, job);
        if (result != BANDSINK64_OK) {
            why = bandFailure(result, page);
            return false;
        }
    }
    return true;
}

}  // namespace

bool feedDocument(const ExitLibrary& library, int rasterFd, uint32_t jobId, const std::string& title, std::string& why)
{
    cups_raster_t* raster = cupsRasterOpen(rasterFd, CUPS_RASTER_READ);
    if (!raster) {
        why = translated("CupsBackend", "the raster could not be read again");
        return false;
    }
    void* job = nullptr;
    // CUPS titles are UTF-8; the exit library takes ANSI text.
    library.startDocExit(jobId, korva::utf8ToWindows1252Lossy(title).c_str(), &job);
    cups_page_header2_t header;
    bool ok = true;
    for (unsigned page = 1; ok && cupsRasterReadHeader2(raster, &header); ++page) {
        auto layout = bandLayoutFor(header, why);
        ok = layout && feedPage(library, raster, *layout, page, &job, why);
    }
    cupsRasterClose(raster);
    if (ok)
        library.endDocExit(&job);
    return ok;
}

}  // namespace korva::cups
