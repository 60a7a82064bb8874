#pragma once
// The start and the end of a document: the per-job file name, the watch
// file that faxcourier waits for, and the control record naming the user
// and the document.

#include "platform/result.h"

#include <functional>
#include <string>

namespace korva {

struct ExitJob;

// Fills the job's user name, spool folder and a per-job file path that no
// other document of any process uses. Nothing waiting is touched.
void prepareDocument(ExitJob& job);

// Closes the TIFF. When nothing waits for faxcourier, records the user and
// document in control.dat and renames the per-job file to the watch file;
// otherwise keeps the document behind the waiting ones with its own record.
// A document that cannot be placed so stays under its per-job name, and the
// user is told. The print file and the names are on disk before it returns.
// False when a printed document was not handed over.
[[nodiscard]] bool handOverDocument(ExitJob& job);

// rename() standing in for MoveFileA: retried while the file is in use
// (EBUSY), at most `attempts` times with `pause` between; any other error
// ends at once. A failure is that of the last attempt.
using MoveFunction = std::function<Result<void>(const std::string& from, const std::string& to)>;
[[nodiscard]] Result<void> moveWithRetries(const std::string& from, const std::string& to, const MoveFunction& move,
                                           const std::function<void()>& pause, int attempts = 100);

}  // namespace korva
