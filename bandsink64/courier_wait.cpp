#include "bandsink64/courier_wait.h"

#include "platform/courier_presence.h"
#include "platform/file_ops.h"

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <thread>

namespace korva {

namespace {

constexpr std::chrono::milliseconds kLongestWait {60000};

}  // namespace

std::chrono::milliseconds handOverWaitLimit()
{
    const char* text = std::getenv("KORVAFAX_HANDOVER_WAIT_MS");
    if (!text || !*text)
        return kLongestWait;
    char* end = nullptr;
    errno = 0;
    long long ms = std::strtoll(text, &end, 10);
    if (errno || *end || ms < 0 || ms > kLongestWait.count())
        return kLongestWait;
    return std::chrono::milliseconds(ms);
}

CourierWait waitForCourierToTake(const std::string& watchFile, const std::string& spoolFolder,
                                 std::chrono::milliseconds limit, std::chrono::milliseconds step)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    bool waited = false;
    for (;;) {
        if (watchFile.empty() || !fileExists(watchFile))
            return waited ? CourierWait::Taken : CourierWait::NothingWaiting;
        if (!courierRunning(spoolFolder))
            return CourierWait::NoCourier;
        Clock::duration left = limit - (Clock::now() - started);
        if (left <= Clock::duration::zero())
            return CourierWait::TimedOut;
        std::this_thread::sleep_for(std::min<Clock::duration>(step, left));
        waited = true;
    }
}

}  // namespace korva
