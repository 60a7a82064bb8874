#include "route_timing.h"

#include <algorithm>
#include <cstdio>

namespace bench {

Spread spreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

void printRows(const char* title, const std::vector<Sample>& ours, const std::vector<Sample>& peer, double goalMs)
{
    std::vector<double> after, whole, theirs;
    for (const Sample& s : ours)
        after.push_back(s.afterPrint), whole.push_back(s.whole);
    for (const Sample& s : peer)
        theirs.push_back(s.whole);
    Spread a = spreadOf(after), w = spreadOf(whole), p = spreadOf(theirs);
    std::printf("%s, %zu runs each (median, lowest to highest):\n", title, ours.size());
    std::printf("  faxprint's exit to the fax stored  %6.0f ms  (%.0f to %.0f)   goal: at most %.0f ms\n", a.median,
                a.low, a.high, goalMs);
    std::printf("  faxprint's start to the fax stored %6.0f ms  (%.0f to %.0f)\n", w.median, w.low, w.high);
    std::printf("  gs to Group 3, then curl           %6.0f ms  (%.0f to %.0f)\n\n", p.median, p.low, p.high);
    std::printf("result: end to end %s | %.0f ms (%.0f-%.0f) | - | - | - | at most %.0f ms after printing\n", title,
                a.median, a.low, a.high, goalMs);
    std::printf("result: whole route %s | %.0f ms | gs tiffg3 + curl | %.0f ms | %.2f | - (figure)\n", title, w.median,
                p.median, p.median / w.median);
}

}  // namespace bench
