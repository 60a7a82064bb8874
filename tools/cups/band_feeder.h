#pragma once
// Hands a checked raster document to the exit library in the printer
// driver's order: startDocExit, then for each page startPageExit and one
// endPageExit per band (bBanding 0 on the page's last), then endDocExit.

#include "bandsink64/exit_library_loader.h"

#include <cstdint>
#include <string>

namespace korva::cups {

// False (with `why`) when the library refuses a band or the raster cannot
// be read again. The document is then not finished, so nothing half
// written is handed over.
bool feedDocument(const ExitLibrary& library, int rasterFd, uint32_t jobId, const std::string& title, std::string& why);

}  // namespace korva::cups
