#include "faxcourier/pipeline/testing/recording_target.h"

namespace korva::testing {

void RecordingTarget::postMessage(unsigned message, std::intptr_t lParam) { record({message, lParam}); }

void RecordingTarget::show() { record({kShowCall, 0}); }

void RecordingTarget::bringToFront() { record({kFrontCall, 0}); }

void RecordingTarget::record(Posted entry)
{
    std::lock_guard lock(mutex_);
    posted_.push_back(entry);
    changed_.notify_all();
}

std::vector<Posted> RecordingTarget::posted() const
{
    std::lock_guard lock(mutex_);
    return posted_;
}

size_t RecordingTarget::count() const
{
    std::lock_guard lock(mutex_);
    return posted_.size();
}

bool RecordingTarget::waitForCount(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return posted_.size() >= count; });
}

}  // namespace korva::testing
