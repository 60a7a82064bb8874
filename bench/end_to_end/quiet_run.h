#pragma once
// Runs a program of the route to its end with its output discarded.

#include "route_timing.h"

#include <string>
#include <vector>

namespace bench {

int devNull();

// The exit code; `ended`, when given, is the moment it was seen to end.
int runQuietly(const std::vector<std::string>& argv, Clock::time_point* ended = nullptr);

}  // namespace bench
