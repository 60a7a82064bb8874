#pragma once
// The start and the end of a document: the per-job file name, the watch
// file that faxcourier waits for, and the control record naming the user
// and the document.

#include <functional>
#include <string>

namespace korva {

struct ExitJob;

// Fills the job's user name, spool folder and per-job file path, and
// deletes a per-job file of that name and a watch file still waiting.
void prepareDocument(ExitJob& job);

// Closes the TIFF, renames the per-job file to the watch file and records
// the user and document in control.dat.
void handOverDocument(ExitJob& job);

// rename() standing in for MoveFileA: retried while the file is in use
// (EBUSY), at most `attempts` times with `pause` between; any other error
// ends at once. Returns 0 or the errno of the last attempt.
using MoveFunction = std::function<int(const std::string& from, const std::string& to)>;
int moveWithRetries(const std::string& from, const std::string& to, const MoveFunction& move,
                    const std::function<void()>& pause, int attempts = 100);

}  // namespace korva
