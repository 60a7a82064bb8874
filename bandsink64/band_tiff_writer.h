#pragma once
// Turns the driver's bands into pages of the document's TIFF: Group 3 at
// the driver's resolution for monochrome, uncompressed 24-bit RGB for grey
// and colour.

#include <cstddef>
#include <cstdint>

namespace korva {

struct ExitJob;

enum BitmapFormat : int32_t { monochromeBitmap = 1, greyBitmap = 3, colourBitmap = 5 };

// One call of endPageExit.
struct Band {
    uint8_t* bits;
    int32_t height;
    int32_t width;
    int32_t format;
    int32_t xResolution;
    int32_t yResolution;
    int32_t banding;  // nonzero: more bands of this page follow
};

// Opens the job's per-job file as a new TIFF, readable by its owner only.
// 0, or -1 after the failure has been logged and shown.
int32_t openJobTiff(ExitJob& job);

// Appends the band to the current page and, at the page's last band,
// writes the page's directory. 0; -1 when no TIFF is open; -2 when a row
// or the directory of a finished page could not be written.
int32_t writeBand(ExitJob& job, const Band& band);

// Bytes from one row to the next in the driver's buffer.
size_t bandRowStride(int32_t format, int32_t width);

}  // namespace korva
