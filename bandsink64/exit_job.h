#pragma once
// The context of one printed document, from startDocExit to endDocExit.

#include <cstdint>
#include <string>
#include <tiffio.h>

namespace korva {

struct ExitJob {
    uint32_t jobId = 0;  // only logged
    std::string documentName;
    // Paths are kept whole: a path cut to a fixed buffer could name another
    // file. Both are empty when the control area could not be opened.
    std::string spoolFolder;
    std::string jobFilePath;   // "<spool>/korvafax_<user>_<tick>_<pid>_<n>.tif"
    bool fileCreated = false;  // the per-job file is ours to hand over or delete
    int32_t newDocument = 0;   // until the first band has opened the TIFF
    int32_t firstBand = 0;     // until the first band of the page is written
    int32_t pageRows = 0;      // rows of the current page so far
    TIFF* tiff = nullptr;      // open from the first page to endDocExit
    bool writeFailed = false;  // a row or a page's directory was not written
    char userName[100] = {};
};

}  // namespace korva
