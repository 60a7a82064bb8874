#pragma once
#include <cstdint>

namespace korva {
// Milliseconds of the monotonic clock, low 32 bits (wraps after 49.7 days).
uint32_t tickCount();
}  // namespace korva
