#pragma once
// Waiting for something another process or thread does, without sleeping
// longer than needed.

#include <chrono>
#include <functional>
#include <sys/types.h>

namespace korva::testing {

// Polls `condition` every `interval` until it holds or `timeout` passes;
// the final result.
bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(30),
               std::chrono::milliseconds interval = std::chrono::milliseconds(10));

// True while the thread or process `id` sleeps in a blocking call (a lock,
// a join, a poll): the moment to check that it waits, or to wake it.
bool isBlocked(pid_t id);

}  // namespace korva::testing
