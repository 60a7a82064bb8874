#include "bandsink64/job_handover.h"

#include "bandsink64/exit_job.h"
#include "bandsink64/exit_log.h"
#include "controlarea/control_area.h"
#include "platform/file_ops.h"
#include "platform/tick_count.h"
#include "platform/user_name.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

namespace korva {
namespace {

// The control area's paths and mutex handle are process-wide and opened
// and closed around each use, so two documents ending on two driver
// threads at once must take turns, or one would close the other's handle
// between its read and its write.
std::mutex controlAreaUse;

std::string watchFilePath(const std::string& spoolFolder)
{
    return spoolFolder.empty() ? std::string() : spoolFolder + "/korvafax.tif";
}

void pauseBeforeRetry() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

void recordInControlArea(const ExitJob& job)
{
    ControlRecord record;
    readControlRecord(record);
    setField(record.userName, job.userName);
    setField(record.documentName, job.documentName);
    exitLogf(3, "Save doc name %s to control data", job.documentName.c_str());
    writeControlRecord(record);
}

// Replaces the watch file with the per-job file; the preset fields of the
// control record stay as they are.
void replaceWatchFile(const ExitJob& job)
{
    // Without a spool folder there is no watch file to replace; the rename
    // below then fails as "file not found".
    const std::string watchFile = watchFilePath(job.spoolFolder);
    if (!watchFile.empty() && fileExists(watchFile)) {
        if (int err = deleteFile(watchFile)) {
            exitLogf(1, "Delete File Error - %d", err);
            return;
        }
    }
    int err = moveWithRetries(job.jobFilePath, watchFile, moveFile, pauseBeforeRetry);
    if (err == EBUSY)
        return;  // still in use after every attempt: given up quietly
    if (err) {
        exitLogf(1, "Move File Error - %d", err);
        return;
    }
    recordInControlArea(job);
}

}  // namespace

void prepareDocument(ExitJob& job)
{
    setField(job.userName, currentUserName());
    std::lock_guard use(controlAreaUse);
    if (!openControlArea())
        return;
    job.spoolFolder = controlAreaSpoolFolder();
    char tick[16];
    std::snprintf(tick, sizeof tick, "%08lx", static_cast<unsigned long>(tickCount()));
    job.jobFilePath = job.spoolFolder + "/korvafax_" + job.userName + "_" + tick + ".tif";
    deleteFile(job.jobFilePath);
    deleteFile(watchFilePath(job.spoolFolder));
    closeControlArea();
}

void handOverDocument(ExitJob& job)
{
    if (job.tiff)
        TIFFClose(job.tiff);
    job.tiff = nullptr;
    std::lock_guard use(controlAreaUse);
    openControlArea();
    replaceWatchFile(job);
    closeControlArea();
}

int moveWithRetries(const std::string& from, const std::string& to, const MoveFunction& move,
                    const std::function<void()>& pause, int attempts)
{
    int err = 0;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        err = move(from, to);
        if (err != EBUSY)
            return err;
        if (attempt < attempts)
            pause();
    }
    return err;
}

}  // namespace korva
