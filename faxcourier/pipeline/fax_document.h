#pragma once
// The converted fax document: a multi-page TIFF of 1728-pixel pages, 1 bit,
// 200 x 192 dpi, CCITT Group 3 two-dimensional with byte-aligned EOLs.

#include "faxcourier/pipeline/page_converter.h"

#include <string>

namespace korva {

// Adds `page` as the last page of the document at `path`. With `first` the
// file is started afresh (any old content is dropped). When anything fails the
// file is put back as it was (removed if it was new), so a page is never
// stored half; false with the reason and, in `error` when given, the errno
// of the failed write (0 when none was seen).
[[nodiscard]] bool appendFaxPage(const std::string& path, const FaxPage& page, bool first, std::string& why,
                                 int* error = nullptr);

}  // namespace korva
