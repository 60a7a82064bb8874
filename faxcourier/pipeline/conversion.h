#pragma once
// The page-processing thread: takes the watch file out of the spool folder,
// converts every page into fax form and appends it to the target document.

#include "faxcourier/pipeline/error_sink.h"
#include "faxcourier/pipeline/messages.h"
#include "platform/spool_names.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace korva {

struct ConversionRequest {
    std::string spoolFolder;
    // A print file already taken out of the hand-over names, deleted when
    // done; empty: the watch file is taken to a new work file.
    std::string printFile;
    // The fax document to write.
    std::string target;
    // Sets `finishedEvent` at the end: faxconvert waits for it.
    bool setFinishedEvent = false;
    // Receives 0x8001 to 0x8004 while the conversion runs; none posted when
    // null. Must live until 0x8004 has been posted.
    ProgressTarget* progress = nullptr;
    // Told about pages left out and files that cannot be read; may be null.
    ErrorSink* errors = nullptr;
    // Set to 0 at the start, to the print file's page count once known and,
    // if pages had to be left out, to the pages stored; final before 0x8004
    // is posted. May be null.
    std::atomic<uint32_t>* publishedPageCount = nullptr;
    // Checked before each page; when set, the conversion stops and keeps
    // its print file. May be null.
    const std::atomic<bool>* stop = nullptr;
    // The user's Cancel of this conversion alone: stops it as `stop` does.
    // May be null.
    const std::atomic<bool>* cancel = nullptr;
    // The print file is left for the caller, who deletes it once the fax is
    // accepted or kept in the outbox.
    bool keepPrintFile = false;
    // Deleted after the print file once the conversion is done with it (not
    // when it stopped or could not be written); may be empty.
    std::string printRecord;
    // Named event set with setFinishedEvent; another program creates it.
    std::string finishedEvent = "KORVAFaxPrintFinished";
};

struct ConversionResult {
    uint32_t pageCount = 0;    // pages in the print file
    uint32_t pagesStored = 0;  // pages in the fax document
    bool eventSet = false;
    bool stopped = false;  // the print file was left whole, the target deleted
    // A page could not be written (disk full ...): no target, the print file
    // kept whole; a later try may succeed.
    bool writeFailed = false;
};

// Runs one conversion on the calling thread. `printFileCounter` is shared
// with the main window; each conversion takes a new number from it.
ConversionResult convertPrintFile(const ConversionRequest& request, std::atomic<int>& printFileCounter);

}  // namespace korva
