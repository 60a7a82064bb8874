#pragma once
// Hands a document to the exit library the way the printer driver does:
// startDocExit; per page startPageExit, the page's text through
// textOutExit and the page's bands through endPageExit; endDocExit.

#include "bandsink64/exit_library_loader.h"
#include "tools/faxprint/printed_page.h"

#include <string>
#include <vector>

namespace korva::faxprint {

struct PrintOutcome {
    bool allBandsTaken = true;
    bool handedOver = true;             // false when endDocExit answered non-zero
    std::vector<std::string> problems;  // one line per page the library refused
};

// The pages' pictures are released as they are delivered.
PrintOutcome printDocument(const ExitLibrary& library, const Options& options, const std::string& documentName,
                           uint32_t jobId, std::vector<PrintedPage>& pages);

}  // namespace korva::faxprint
