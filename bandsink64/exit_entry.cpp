// The six exports that the fax printer driver calls. Nothing else of this
// library is visible outside it.
#include "bandsink64/bandsink64.h"

#include "bandsink64/band_tiff_writer.h"
#include "bandsink64/exit_job.h"
#include "bandsink64/exit_log.h"
#include "bandsink64/job_handover.h"

#include <memory>

using namespace korva;

namespace {

// Linux has no per-thread entry point: the settings are read when the
// library is loaded and unloaded, and again at every document.
__attribute__((constructor)) void onLoad() { reloadExitLogSettings(); }
__attribute__((destructor)) void onUnload() { reloadExitLogSettings(); }

ExitJob* jobAt(void** handle) { return handle ? static_cast<ExitJob*>(*handle) : nullptr; }

// Nothing may unwind into the driver; a failure inside is logged and the
// export returns what it returns for that failure.
template <typename Result, typename Body>
Result guarded(Result onFailure, Body body)
{
    try {
        return body();
    } catch (...) {
        exitLog(1, "Unexpected failure inside the exit library");
        return onFailure;
    }
}

}  // namespace

extern "C" {

int32_t getVersion(void) { return 3; }

int32_t startDocExit(uint32_t jobID, const char* pszDocName, void** phJob)
{
    return guarded<int32_t>(0, [&] {
        reloadExitLogSettings();
        const char* name = pszDocName ? pszDocName : "";
        exitLogf(3, "startDocExit - jobID: %u, pszDocName: %s", jobID, name);
        if (!phJob)
            return 0;
        *phJob = nullptr;
        auto* job = new ExitJob;
        *phJob = job;
        job->jobId = jobID;
        job->documentName = name;
        prepareDocument(*job);
        exitLogf(3, "Final file Path: %s", job->jobFilePath.c_str());
        job->newDocument = 1;
        job->tiff = nullptr;
        return 0;
    });
}

int32_t startPageExit(void** phJob)
{
    return guarded<int32_t>(0, [&] {
        exitLog(3, "startPageExit");
        if (ExitJob* job = jobAt(phJob)) {
            job->firstBand = 1;
            job->pageRows = 0;
        }
        return 0;
    });
}

int16_t textOutExit(const char* text)
{
    return guarded<int16_t>(0, [&] {
        exitLog(3, "TEXT RECEIVED: ");
        exitLog(3, text ? text : "");
        return int16_t(0);
    });
}

int32_t endPageExit(uint8_t* bits, int32_t lHeight, int32_t lWidth, int32_t nBitmapFormat, int32_t nXResolution,
                    int32_t nYResolution, int32_t bBanding, void** phJob)
{
    return guarded<int32_t>(-1, [&] {
        exitLogf(3,
                 "endPageExit - lHeight: %d, lWidth: %d, nBitmapFormat: %d, nXResolution: %d, nYResolution: %d, "
                 "bBanding: %d",
                 lHeight, lWidth, nBitmapFormat, nXResolution, nYResolution, bBanding);
        ExitJob* job = jobAt(phJob);
        if (!job) {
            exitLog(1, "appendTIFF called without a TIFF file being open");
            return -1;
        }
        if (job->newDocument) {
            if (openJobTiff(*job) != 0)
                return -1;
            job->newDocument = 0;
        }
        return writeBand(*job, Band{bits, lHeight, lWidth, nBitmapFormat, nXResolution, nYResolution, bBanding});
    });
}

int16_t endDocExit(void** phJob)
{
    return guarded<int16_t>(0, [&] {
        exitLog(3, "endDocExit");
        std::unique_ptr<ExitJob> job(jobAt(phJob));
        if (phJob)
            *phJob = nullptr;
        // -1 lets a driver that looks fail the job instead of reporting a
        // fax that was never handed over.
        if (job && !handOverDocument(*job))
            return int16_t(-1);
        return int16_t(0);
    });
}

}  // extern "C"
