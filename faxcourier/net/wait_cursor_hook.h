#pragma once
// The wait cursor for conversations that block the user-interface thread.
// The user interface installs what showing and restoring it means; without
// hooks nothing is shown.

#include <functional>

namespace korva {

void setWaitCursorHooks(std::function<void()> show, std::function<void()> restore);

// Shows the wait cursor for one scope.
class ScopedWaitCursor {
public:
    ScopedWaitCursor();
    ~ScopedWaitCursor();
    ScopedWaitCursor(const ScopedWaitCursor&) = delete;
    ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;
};

}  // namespace korva
