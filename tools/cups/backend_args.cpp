#include "tools/cups/backend_args.h"

#include "platform/translation.h"

#include <charconv>

namespace korva::cups {

const char* const discoveryLine =
    "direct korvafax:/ \"KORVA Fax\" \"KORVA Fax\" \"MFG:KORVA;MDL:Fax;CMD:CUPSRASTER;\" \"\"";

// The synopsis is the command's syntax: only "Usage:" is translated.
std::string usageText()
{
    return withArguments(translated("CupsBackend", "Usage: %1"), {"korvafax job-id user title copies options [file]"});
}

Result<BackendJob> parseBackendArgs(int argc, const char* const* argv)
{
    if (argc != 6 && argc != 7) {
        return Error::withText(translated("CupsBackend", "expected 5 or 6 arguments"));
    }
    BackendJob job;
    std::string_view id = argv[1];
    auto [end, ec] = std::from_chars(id.data(), id.data() + id.size(), job.jobId);
    if (ec != std::errc() || end != id.data() + id.size() || id.empty()) {
        return Error::withText(withArguments(translated("CupsBackend", "the job id \"%1\" is not a number"), {id}));
    }
    job.user = argv[2];
    if (job.user.empty()) {
        return Error::withText(translated("CupsBackend", "the job has no user name"));
    }
    job.title = argv[3];
    job.options = argv[5];
    if (argc == 7)
        job.file = argv[6];
    return job;
}

}  // namespace korva::cups
