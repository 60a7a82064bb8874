#include "bandsink64/job_handover.h"

#include "bandsink64/courier_wait.h"
#include "bandsink64/exit_job.h"
#include "bandsink64/exit_log.h"
#include "controlarea/control_area.h"
#include "platform/courier_presence.h"
#include "platform/file_ops.h"
#include "platform/message_box.h"
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

// While faxcourier runs, a document still waiting is its next one: give it
// time to take it before this one takes its place.
void letCourierTakeWaitingFile(const ExitJob& job)
{
    const std::string watchFile = watchFilePath(job.spoolFolder);
    if (watchFile.empty() || !fileExists(watchFile) || !courierRunning(job.spoolFolder))
        return;
    const std::chrono::milliseconds limit = handOverWaitLimit();
    exitLogf(3, "Waiting for faxcourier to take %s", watchFile.c_str());
    const auto started = std::chrono::steady_clock::now();
    CourierWait outcome = waitForCourierToTake(watchFile, job.spoolFolder, limit);
    const long waitedMs = long(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - started).count());
    if (outcome == CourierWait::Taken)
        exitLogf(3, "faxcourier took %s after %ld ms", watchFile.c_str(), waitedMs);
    else if (outcome == CourierWait::NoCourier)
        exitLogf(3, "faxcourier ended while %s was waiting", watchFile.c_str());
    else if (outcome == CourierWait::TimedOut)
        exitLogf(1, "faxcourier did not take %s within %ld ms; it is replaced", watchFile.c_str(), waitedMs);
}

// A page that could not be written whole: the file is not handed over, so
// a document still waiting keeps its place and faxcourier never gets a
// broken one.
void discardBrokenFile(const ExitJob& job)
{
    const std::string message = exitLogText(
        "Cannot write %s. Check to make sure you have enough disk space.  You should have at least 50mb free. "
        "The document was not faxed.",
        job.jobFilePath.c_str());
    exitLog(1, message);
    showMessageBox("", message);
    if (!job.jobFilePath.empty())
        deleteFile(job.jobFilePath);
}

// Replaces the watch file with the per-job file; the preset fields of the
// control record stay as they are. `keepWaiting`: a document still waiting
// is left alone.
void replaceWatchFile(const ExitJob& job, bool keepWaiting)
{
    // Without a spool folder there is no watch file to replace; the rename
    // below then fails as "file not found".
    const std::string watchFile = watchFilePath(job.spoolFolder);
    if (!keepWaiting && !watchFile.empty() && fileExists(watchFile)) {
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
    // A finished document that faxcourier has not taken yet stays: the end
    // of this one waits for it.
    const std::string watchFile = watchFilePath(job.spoolFolder);
    if (courierRunning(job.spoolFolder) && fileExists(watchFile))
        exitLogf(3, "Leaving %s for faxcourier", watchFile.c_str());
    else
        deleteFile(watchFile);
    closeControlArea();
}

void handOverDocument(ExitJob& job)
{
    if (job.tiff) {
        if (!TIFFFlush(job.tiff))
            job.writeFailed = true;
        TIFFClose(job.tiff);
    }
    job.tiff = nullptr;
    if (job.writeFailed) {
        discardBrokenFile(job);
        return;
    }
    // Held while waiting too: a second document ending on another thread
    // must not slip in and replace this one's file.
    std::lock_guard use(controlAreaUse);
    // Nothing printed, nothing to hand over: while faxcourier runs, the
    // document still waiting for it stays.
    const bool keepWaiting = courierRunning(job.spoolFolder) && !fileExists(job.jobFilePath);
    if (!keepWaiting)
        letCourierTakeWaitingFile(job);
    openControlArea();
    replaceWatchFile(job, keepWaiting);
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
