#pragma once
// The command line with which CUPS runs a backend:
//   korvafax job-id user title copies options [file]
// and with no arguments at all, the device discovery run.

#include "platform/result.h"

#include <cstdint>
#include <string>

namespace korva::cups {

struct BackendJob {
    uint32_t jobId = 0;
    std::string user;
    std::string title;
    std::string options;
    std::string file;  // empty: the raster arrives on standard input
};

// The job; fails, saying why in its text, when the arguments are not a job.
[[nodiscard]] Result<BackendJob> parseBackendArgs(int argc, const char* const* argv);

// The line that `lpinfo -v` shows for this backend.
extern const char* const discoveryLine;

std::string usageText();

}  // namespace korva::cups
