#pragma once
// Documents that wait for faxcourier in printing order. The watch file holds
// one document; a document that ends while it (or an older kept one) still
// waits is kept in "<spool>/waiting/" under a sequence number, beside a copy
// of the control record it was printed with, so that nothing replaces it and
// it is never faxed with a later document's recipients. faxcourier takes the
// watch file first, then the kept documents oldest first.

#include "controlarea/control_record.h"
#include "platform/result.h"
#include "platform/spool_names.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korva {

struct WaitingDocument {
    std::string printFile;   // "<spool>/waiting/<sequence>.tif"
    std::string recordFile;  // "<spool>/waiting/<sequence>.dat"
};

// Kept documents, oldest first. A record without its print file (a keep
// that did not finish) is not listed.
std::vector<WaitingDocument> listWaitingDocuments(const std::string& spoolFolder);
std::optional<WaitingDocument> oldestWaitingDocument(const std::string& spoolFolder);

// True when a print file (a regular file) waits under the watch file's name.
bool watchFileWaiting(const std::string& spoolFolder);

// True when the watch file or a kept document waits.
bool documentsWaiting(const std::string& spoolFolder);

// Runs `work` holding "<spool>/handover.lock", so that no other process
// hands a document over meanwhile. Hands back what `work` does, or fails
// (ENOLCK when the lock cannot be taken) without running it.
[[nodiscard]] Result<void> underHandOverLock(const std::string& spoolFolder, const std::function<Result<void>()>& work);

// Stores `record` and moves `printFile` in after every kept document. The
// record goes first, so a listed document always has its own. `front` puts
// it before all others instead (a document given back unconverted). Never
// replaces a file, and both are on disk when it returns. Call it under the
// hand-over lock. Fails with EOVERFLOW when no number is left; on failure
// `printFile` stays.
[[nodiscard]] Result<void> keepWaitingDocument(const std::string& spoolFolder, const std::string& printFile,
                                               const ControlRecord& record, bool front = false);

// keepWaitingDocument() in front of the others, under the hand-over lock.
[[nodiscard]] Result<void> putBackWaitingDocument(const std::string& spoolFolder, const std::string& printFile,
                                                  const ControlRecord& record);

// The record a kept document was printed with; fails when it cannot be
// read whole.
[[nodiscard]] Result<ControlRecord> readWaitingRecord(const WaitingDocument& document);

// Deletes the record; the print file is taken (renamed) by the caller.
void forgetWaitingRecord(const WaitingDocument& document);

}  // namespace korva
