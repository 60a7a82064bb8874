#pragma once
// The figures of one route: milliseconds from faxprint's exit (or the
// start) to the fax stored, summed up as median and spread.

#include <chrono>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Sample {
    double afterPrint = 0;  // from the printing program's exit
    double whole = 0;       // from its start
};

struct Spread {
    double median = 0, low = 0, high = 0;
};

Spread spreadOf(std::vector<double> values);

// The document's lines, and the two result lines bench/run collects: ours
// after printing against the goal, and the whole route against the peer's.
void printRows(const char* title, const std::vector<Sample>& ours, const std::vector<Sample>& peer, double goalMs);

}  // namespace bench
