#include "controlarea/control_area.h"

#include "platform/file_ops.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/process_mutex.h"
#include "platform/spool_names.h"
#include "platform/translation.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace korva {
namespace {

// The process-wide state. The paths are set by openControlArea before any
// other operation runs; the guard only keeps threads from tearing them.
struct ControlAreaState {
    std::mutex guard;
    ProcessMutex mutex;
    std::string spoolFolder;
    std::string controlFile;
};

ControlAreaState& state()
{
    static ControlAreaState s;
    return s;
}

std::string currentControlFile()
{
    std::lock_guard lock(state().guard);
    return state().controlFile;
}

}  // namespace

bool openControlArea()
{
    ControlAreaState& s = state();
    // The lock file lives in the spool folder, so the folder must exist
    // before the mutex can; failing either is the mutex failing.
    int err = 0;
    auto folder = spoolFolder(&err);
    // Another user who can write here could preset where the next fax goes.
    if (folder) {
        if (std::string problem = shownSpoolFolderProblem(*folder); !problem.empty()) {
            showMessageBox("KORVA Fax Printer Driver", problem);
            return false;
        }
        err = s.mutex.open(controlLockPath(*folder));
    }
    if (err != 0) {
        showMessageBox(translated("ControlArea", "CreateMutex Error"),
                       withArguments(translated("ControlArea", "Error %1"), {std::to_string(err)}));
        return false;
    }
    ProcessMutexLock lock(s.mutex);
    if (!lock.owned())
        return false;
    std::lock_guard guard(s.guard);
    s.spoolFolder = *folder;
    s.controlFile = controlFilePath(*folder);
    return true;
}

bool readControlRecord(ControlRecord& record)
{
    std::memset(&record, 0, sizeof record);
    ProcessMutexLock lock(state().mutex);
    if (!lock.owned())
        return false;
    std::string path = currentControlFile();
    if (path.empty())
        return false;
    // Non-blocking and regular only: a FIFO planted here must not hold the
    // lock, and every program with it, until someone writes to it.
    auto opened = openRegularFile(path, O_RDONLY);
    if (opened.code() == ENOENT)
        return true;
    if (!opened)
        return false;
    const int fd = *opened;
    // A short file gives the bytes it has; the rest stays zero.
    char block[controlRecordSize] = {};
    size_t got = 0;
    bool ok = true;
    while (got < sizeof block) {
        ssize_t n = ::read(fd, block + got, sizeof block - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        got += size_t(n);
    }
    ::close(fd);
    if (ok)
        std::memcpy(&record, block, got);
    return ok;
}

bool writeControlRecord(const ControlRecord& record)
{
    ProcessMutexLock lock(state().mutex);
    if (!lock.owned())
        return false;
    std::string path = currentControlFile();
    return !path.empty() && writeFileAtomically(path, &record, sizeof record, 0600).ok();
}

bool clearControlRecord()
{
    ProcessMutexLock lock(state().mutex);
    if (!lock.owned())
        return false;
    std::string path = currentControlFile();
    if (path.empty())
        return false;
    auto deleted = deleteFile(path);
    return deleted || deleted.code() == ENOENT;
}

void closeControlArea() { state().mutex.close(); }

std::string controlAreaSpoolFolder()
{
    std::lock_guard lock(state().guard);
    return state().spoolFolder;
}

std::string controlFilePath() { return currentControlFile(); }

std::string controlLockFilePath()
{
    std::string folder = controlAreaSpoolFolder();
    return folder.empty() ? folder : controlLockPath(folder);
}

}  // namespace korva
