#pragma once
// The command line with which CUPS runs a backend:
//   korvafax job-id user title copies options [file]
// and with no arguments at all, the device discovery run.

#include <cstdint>
#include <optional>
#include <string>

namespace korva::cups {

struct BackendJob {
    uint32_t jobId = 0;
    std::string user;
    std::string title;
    std::string options;
    std::string file;  // empty: the raster arrives on standard input
};

// The job, or no value (with `why` set) when the arguments are not a job.
std::optional<BackendJob> parseBackendArgs(int argc, const char* const* argv, std::string& why);

// The line that `lpinfo -v` shows for this backend.
extern const char* const discoveryLine;

std::string usageText();

}  // namespace korva::cups
