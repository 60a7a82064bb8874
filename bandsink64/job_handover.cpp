#include "bandsink64/job_handover.h"

#include "bandsink64/exit_job.h"
#include "bandsink64/exit_log.h"
#include "controlarea/control_area.h"
#include "controlarea/waiting_documents.h"
#include "platform/file_ops.h"
#include "platform/message_box.h"
#include "platform/spool_names.h"
#include "platform/tick_count.h"
#include "platform/translation.h"
#include "platform/user_name.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace korva {
namespace {

// The control area's paths and mutex handle are process-wide and opened
// and closed around each use, so two documents ending on two driver
// threads at once must take turns, or one would close the other's handle
// between its read and its write.
std::mutex controlAreaUse;

// Per-job files of one process differ by this count; the tick alone repeats
// within a millisecond, and two processes differ by their pid.
std::atomic<unsigned> jobsStarted{0};

std::string watchFileFor(const std::string& spoolFolder)
{
    return spoolFolder.empty() ? std::string() : watchFilePath(spoolFolder);
}

void pauseBeforeRetry() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

// A page that could not be written whole: the file is not handed over, so
// whatever waits keeps its place and faxcourier never gets a broken one.
void discardBrokenFile(const ExitJob& job)
{
    const std::string message = exitLogText(
        "Cannot write %s. Check to make sure you have enough disk space.  You should have at least 50mb free. "
        "The document was not faxed.",
        job.jobFilePath.c_str());
    exitLog(1, message);
    showMessageBox("",
                   exitBoxText(withArguments(
                       translated("ExitLibrary",
                                  "Cannot write %1. Check to make sure you have enough disk space.  You should have "
                                  "at least 50mb free. The document was not faxed."),
                       {job.jobFilePath})));
    if (job.fileCreated)
        discardFile(job.jobFilePath);
}

// The presets in force with this document's user and name; false when
// control.dat is there but cannot be read, since the document would then
// lose the recipients it was printed for.
bool recordFor(const ExitJob& job, ControlRecord& record, ControlRecord* asRead = nullptr)
{
    if (!readControlRecord(record)) {
        exitLogf(1, "Cannot read the control data for %s", job.documentName.c_str());
        return false;
    }
    if (asRead)
        *asRead = record;
    setField(record.userName, job.userName);
    setField(record.documentName, job.documentName);
    return true;
}

// Something still waits for faxcourier: this document goes behind it, with
// the record it was printed with, and control.dat stays with the watch file.
bool keepBehindWaitingDocuments(const ExitJob& job)
{
    ControlRecord record;
    if (!recordFor(job, record))
        return false;
    if (int err = keepWaitingDocument(job.spoolFolder, job.jobFilePath, record)) {
        exitLogf(1, "Cannot keep %s for faxcourier - %d", job.jobFilePath.c_str(), err);
        return false;
    }
    exitLogf(3, "Kept %s behind the documents waiting for faxcourier", job.documentName.c_str());
    return true;
}

// Nothing waits: the record is written first, so the watch file never
// appears beside the previous document's record; if the file cannot follow,
// the previous record is put back.
bool becomeWatchFile(const ExitJob& job)
{
    ControlRecord previous;
    ControlRecord record;
    if (!recordFor(job, record, &previous))
        return false;
    exitLogf(3, "Save doc name %s to control data", job.documentName.c_str());
    if (!writeControlRecord(record)) {
        exitLogf(1, "Cannot write the control data for %s", job.documentName.c_str());
        return false;
    }
    const std::string watchFile = watchFileFor(job.spoolFolder);
    auto moved = moveWithRetries(job.jobFilePath, watchFile, moveFileNoReplace, pauseBeforeRetry);
    if (!moved) {
        exitLogf(1, "Move File Error - %d", moved.code());
        if (!writeControlRecord(previous))
            exitLogf(1, "Cannot put the previous control data back");
        return false;
    }
    // The file is handed over either way; a failed sync only weakens what
    // survives a power loss.
    if (auto synced = fsyncFolderOf(watchFile); !synced)
        exitLogf(1, "Cannot sync the spool folder - %d", synced.code());
    return true;
}

// The per-job file stays where it is: nothing takes it from there, and the
// user can still find what was printed.
void reportNotHandedOver(const ExitJob& job)
{
    const std::string message = exitLogText(
        "The document %s could not be handed over to KORVA Fax and was not faxed. Its print file stays as %s.",
        job.documentName.c_str(), job.jobFilePath.c_str());
    exitLog(1, message);
    showMessageBox("", exitBoxText(withArguments(translated("ExitLibrary",
                                                            "The document %1 could not be handed over to KORVA Fax and "
                                                            "was not faxed. Its print file stays as %2."),
                                                 {job.documentName, job.jobFilePath})));
}

}  // namespace

void prepareDocument(ExitJob& job)
{
    setField(job.userName, currentUserName());
    std::lock_guard use(controlAreaUse);
    if (!openControlArea())
        return;
    job.spoolFolder = controlAreaSpoolFolder();
    job.jobFilePath = jobFilePath(job.spoolFolder, job.userName, static_cast<unsigned long>(tickCount()), getpid(),
                                  jobsStarted.fetch_add(1));
    closeControlArea();
}

bool handOverDocument(ExitJob& job)
{
    if (job.tiff) {
        // On disk before the rename that hands it on, or a power loss could
        // leave an empty file beside a valid record.
        if (!TIFFFlush(job.tiff) || !fsyncFile(TIFFFileno(job.tiff)))
            job.writeFailed = true;
        TIFFClose(job.tiff);
    }
    job.tiff = nullptr;
    if (job.writeFailed) {
        discardBrokenFile(job);
        return false;
    }
    // Nothing printed, nothing to hand over; whatever waits stays.
    if (!job.fileCreated || !fileExists(job.jobFilePath))
        return true;
    std::lock_guard use(controlAreaUse);
    bool placed = false;
    if (!openControlArea()) {
        exitLog(1, "Cannot open the control area at the end of the document");
    } else {
        // From the look at what waits until this document is in place,
        // another process's document must not slip in between; without the
        // lock nothing is placed.
        int err = underHandOverLock(job.spoolFolder, [&] {
            placed = documentsWaiting(job.spoolFolder) ? keepBehindWaitingDocuments(job) : becomeWatchFile(job);
            return 0;
        });
        if (err)
            exitLogf(1, "Cannot take the hand-over lock - %d", err);
        closeControlArea();
    }
    if (!placed)
        reportNotHandedOver(job);
    return placed;
}

Result<void> moveWithRetries(const std::string& from, const std::string& to, const MoveFunction& move,
                             const std::function<void()>& pause, int attempts)
{
    Result<void> moved;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        moved = move(from, to);
        if (moved.code() != EBUSY)
            return moved;
        if (attempt < attempts)
            pause();
    }
    return moved;
}

}  // namespace korva
