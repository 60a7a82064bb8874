#pragma once
// The control data area: control.dat in the spool folder and the mutex that
// every process of the three programs holds around each access to it. The
// state is process-wide: open once, then read, write or clear, then close.

#include "controlarea/control_record.h"

#include <string>

namespace korva {

// Finds the spool folder and opens the mutex. False when either fails or
// the folder is not safe to use (see spoolFolderProblem); each of these is
// also reported in a message box.
[[nodiscard]] bool openControlArea();

// Fills `record` from control.dat; a missing or short file reads as zeros.
// False, with the record all zeros, when the area is not open or
// control.dat is there but cannot be read or is no regular file.
[[nodiscard]] bool readControlRecord(ControlRecord& record);

// Replaces control.dat with `record`. The new content is written to a
// temporary file and renamed into place, so a reader never sees half a
// record. False when it could not be written; the previous record stays.
[[nodiscard]] bool writeControlRecord(const ControlRecord& record);

// Deletes control.dat; every reader then sees the zero record. A missing
// file is already clear; false when it stays.
[[nodiscard]] bool clearControlRecord();

void closeControlArea();

// The spool folder and control.dat paths found by the last successful
// openControlArea (empty before).
std::string controlAreaSpoolFolder();
std::string controlFilePath();

// The lock file behind the control-area mutex, in the spool folder.
std::string controlLockFilePath();

}  // namespace korva
