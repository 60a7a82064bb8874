#pragma once
// The job's raster stream, read to its end and checked before any page
// reaches the exit library: a stream cut short or holding a page the driver
// cannot take fails the job before anything is handed over.

#include "platform/result.h"

namespace korva::cups {

struct CheckedRaster {
    int fd = -1;  // an anonymous in-memory copy, positioned at its start
    unsigned pages = 0;
};

// Copies everything readable from `in`. Fails when the stream is not
// complete CUPS raster of at least one page.
[[nodiscard]] Result<CheckedRaster> copyCheckedRaster(int in);

}  // namespace korva::cups
