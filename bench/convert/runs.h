#pragma once
// Running one conversion as a process of its own, so that its time and peak
// resident size are its alone.

#include <string>
#include <vector>

namespace bench {

struct Run {
    bool ok = false;
    double seconds = 0;     // wall clock
    double cpuSeconds = 0;  // user + system
    long peakKb = 0;        // peak resident set
};

// Runs `argv` (argv[0] a path or a name on PATH) with its output discarded.
Run runMeasured(const std::vector<std::string>& argv);

// The best (fastest) of `times` runs; its peak is the largest seen.
Run bestOf(int times, const std::vector<std::string>& argv);

}  // namespace bench
