#pragma once
// Documents faxcourier has taken: each print file waits in "<spool>/taken/"
// beside the record it was printed with until its fax is accepted by the
// server or kept in the outbox. A run that dies (SIGKILL, power loss) leaves
// them there, and the next run takes them first and faxes them again, so a
// printed document is faxed at least once, perhaps twice, never not at all.

#include "controlarea/waiting_documents.h"
#include "platform/result.h"

#include <string>
#include <vector>

namespace korva::app {

// The record goes in first and the print file is renamed after it, then
// both folders are synced. Returns 0 or errno; on failure `from` stays where
// it was.
[[nodiscard]] int takeDocument(const std::string& spoolFolder, const std::string& from, const ControlRecord& record,
                               WaitingDocument& taken);

// Taken documents, oldest first. A record without its print file is not listed.
std::vector<WaitingDocument> listTakenDocuments(const std::string& spoolFolder);

// Deletes the print file (when still there) and then its record. A print
// file that cannot be deleted is renamed aside, so that no run takes it and
// faxes it again; fails when it could not be, and this run must not take it.
[[nodiscard]] Result<void> releaseTakenDocument(const WaitingDocument& taken);

// How a released print file is deleted; tests make it fail. Returns the
// previous one.
using TakenFileDeleter = Result<void> (*)(const std::string& path);
TakenFileDeleter setTakenFileDeleter(TakenFileDeleter deleter);

}  // namespace korva::app
