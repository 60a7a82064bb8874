#pragma once
// Named events that another program creates and waits on. On Linux a named
// event is the POSIX semaphore "/<name>"; setting it posts the semaphore.

#include <string>

namespace korva {

// Sets the event `name` (without the leading "/") if some other program has
// created it. Never creates it. Returns true when the event was set.
bool setNamedEvent(const std::string& name);

}  // namespace korva
