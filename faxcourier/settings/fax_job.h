#pragma once
// The pending fax job and its converted documents. One job exists per
// process; the main thread owns it and the Send Fax dialog and the
// submission read and change it.

#include "faxcourier/foundation/korva_string.h"

#include <cstdint>
#include <vector>

namespace korva {

// One converted print job.
struct FaxDocument {
    String name;         // document name from the control record; may be empty
    String file;         // full path of the converted TIFF ("<spool>/korvafax<n>.tif")
    uint32_t pages = 0;  // page count published by the page-processing thread
};

struct FaxJob {
    String subject;
    String comments;                     // written only by the Send Fax dialog's Send
    String coverPage;                    // empty: none
    std::vector<String> recipients;      // "fax~name~company" each, in order
    std::vector<FaxDocument> documents;  // in arrival order
};

// The process-wide job.
FaxJob& globalFaxJob();

}  // namespace korva
