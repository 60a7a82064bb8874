// korvafax: the CUPS backend of the KORVA Fax queue. It takes the CUPS
// raster of a job and plays the printer driver for the exit library, as
// the printing user, so the document lands in that user's spool folder.

#include "bandsink64/exit_library_loader.h"
#include "tools/cups/backend_args.h"
#include "tools/cups/backend_log.h"
#include "tools/cups/band_feeder.h"
#include "tools/cups/handover_check.h"
#include "tools/cups/job_recipients.h"
#include "tools/cups/job_user.h"
#include "tools/cups/raster_copy.h"
#include "tools/cups/system_accounts.h"

#include "platform/courier_presence.h"
#include "platform/translation.h"

#include <cups/backend.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korva::cups;
using korva::ExitLibrary;
using korva::exitLibraryPath;
using korva::translated;
using korva::withArguments;

namespace {

int fail(const std::string& why, int code)
{
    logError("KORVA Fax: " + why);
    return code;
}

// Everything after the switch to the job's user. `documentName` is the
// job's title, or the "rcpt:" name of the recipients its options give.
int printAsUser(const BackendJob& job, const std::string& documentName, const JobUser& user, int in)
{
    std::string why;
    CheckedRaster raster = copyCheckedRaster(in, why);
    if (raster.fd < 0)
        return fail(why, CUPS_BACKEND_CANCEL);
    auto spool = prepareSpoolFolder(user, why);
    if (!spool)
        return fail(why, CUPS_BACKEND_CANCEL);
    // A relative log file name of the exit library lands here, with the rest.
    if (chdir(spool->c_str()) != 0)
        return fail(withArguments(translated("CupsBackend", "cannot enter the spool folder %1: %2"),
                                  {*spool, std::strerror(errno)}),
                    CUPS_BACKEND_CANCEL);

    ExitLibrary library;
    const std::string path = exitLibraryPath();
    if (!library.load(path))
        return fail(
            withArguments(translated("CupsBackend", "cannot load the exit library %1: %2"), {path, library.error()}),
            CUPS_BACKEND_STOP);
    logDebug("exit library " + path + ", version " + std::to_string(library.getVersion()));

    logInfo(withArguments(translated("CupsBackend", "Faxing %1 page(s) for %2"),
                          {std::to_string(raster.pages), user.name}));
    const auto printFiles = printFilesIn(*spool);
    if (!feedDocument(library, raster.fd, job.jobId, documentName, why))
        return fail(why, CUPS_BACKEND_CANCEL);
    close(raster.fd);
    if (auto left = printFileLeftBehind(printFiles, *spool))
        return fail(
            withArguments(translated("CupsBackend", "the document was not handed over; its print file %1 stays in %2"),
                          {*left, *spool}),
            CUPS_BACKEND_CANCEL);
    // The last message stays with the job: whether faxcourier has it now.
    if (korva::courierRunning(*spool))
        logInfo(withArguments(translated("CupsBackend", "handed to KORVA Fax for %1"), {user.name}));
    else
        logInfo(withArguments(translated("CupsBackend", "kept until KORVA Fax starts for %1"), {user.name}));
    return CUPS_BACKEND_OK;
}

}  // namespace

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    if (argc == 1) {
        std::puts(discoveryLine);
        return CUPS_BACKEND_OK;
    }
    std::string why;
    auto job = parseBackendArgs(argc, argv, why);
    if (!job) {
        std::fprintf(stderr, "%s\n", usageText().c_str());
        return fail(why, CUPS_BACKEND_FAILED);
    }
    auto user = findJobUser(job->user, why);
    if (!user)
        return fail(why, CUPS_BACKEND_CANCEL);
    // Decided before the job is opened: root must read nothing of it.
    if (why = systemAccountRefusal(*user, systemUidMin()); !why.empty())
        return fail(why, CUPS_BACKEND_CANCEL);
    // CUPS' own file is readable only by root: the one thing done as root.
    int in = 0;
    if (!job->file.empty() && (in = open(job->file.c_str(), O_RDONLY | O_CLOEXEC)) < 0)
        return fail(withArguments(translated("CupsBackend", "cannot open %1: %2"), {job->file, std::strerror(errno)}),
                    CUPS_BACKEND_FAILED);
    if (!becomeJobUser(*user, why))
        return fail(why, CUPS_BACKEND_STOP);
    setJobUserEnvironment(*user);
    umask(077);

    auto recipients = recipientDocumentName(job->options, why);
    if (!why.empty())
        return fail(why, CUPS_BACKEND_CANCEL);
    return printAsUser(*job, recipients.value_or(job->title), *user, in);
}
