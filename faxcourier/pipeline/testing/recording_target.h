#pragma once
// A message target for tests: records every posted message (and the
// progress target's show and bring-to-front calls) and lets a test wait for
// them with a deadline.

#include "faxcourier/pipeline/messages.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

namespace korva::testing {

struct Posted {
    unsigned message;
    std::intptr_t lParam;
    bool operator==(const Posted&) const = default;
};

// Pseudo-messages standing for the two calls that are not posts.
constexpr unsigned kShowCall = 1;
constexpr unsigned kFrontCall = 2;

class RecordingTarget : public ProgressTarget {
public:
    void postMessage(unsigned message, std::intptr_t lParam) override;
    void show() override;
    void bringToFront() override;

    std::vector<Posted> posted() const;
    size_t count() const;
    // Waits until at least `count` entries are recorded; false at the deadline.
    bool waitForCount(size_t count, std::chrono::milliseconds timeout) const;

private:
    void record(Posted entry);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Posted> posted_;
};

}  // namespace korva::testing
