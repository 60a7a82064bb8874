#pragma once
// Waiting for something another process or thread does, without sleeping
// longer than needed.

#include <chrono>
#include <functional>

namespace korva::testing {

// Polls `condition` until it holds or `timeout` passes; the final result.
bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(30));

}  // namespace korva::testing
