#pragma once
// The converted fax document: a multi-page TIFF of 1728-pixel pages, 1 bit,
// 200 x 192 dpi, CCITT Group 3 two-dimensional with byte-aligned EOLs.

#include "faxcourier/pipeline/page_converter.h"
#include "platform/result.h"

#include <string>

namespace korva {

// Adds `page` as the last page of the document at `path`. With `first` the
// file is started afresh (any old content is dropped). When anything fails the
// file is put back as it was (removed if it was new), so a page is never
// stored half. The error holds the reason and the errno of the failed write
// (0 when none was seen).
Result<void> appendFaxPage(const std::string& path, const FaxPage& page, bool first);

}  // namespace korva
