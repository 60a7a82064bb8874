#pragma once
// Printed documents that nothing would ever take: the per-job print file of
// a printing process that died before it handed the document over, and a
// kept document in waiting/ that lost its record. They are set aside in
// unsent/ where the user can find them; a record without its document is
// removed.

#include "platform/result.h"

#include <string>
#include <vector>

namespace korva {

struct StrandedDocuments {
    std::string folder;                      // unsent/
    std::vector<std::string> files;          // their new paths
    std::vector<std::string> failed;         // could not be moved; they stay
    std::vector<std::string> lonelyRecords;  // removed
};

// Looks at the spool folder and waiting/ under the hand-over lock, so a
// document on its way in is never taken for a stranded one. A per-job file
// whose process (the pid in its name) still runs is left alone. Fails, with
// nothing looked at, when the lock cannot be taken.
[[nodiscard]] Result<StrandedDocuments> setAsideStrandedDocuments(const std::string& spoolFolder);

// The text that tells the user where they are, or empty when none were found.
std::string strandedNotice(const StrandedDocuments& documents);

}  // namespace korva
