#pragma once
// The wait cursor for conversations that block the user-interface thread.
// The user interface installs what showing and restoring it means; without
// hooks nothing is shown.

#include <functional>

namespace korva {

void setWaitCursorHooks(std::function<void()> show, std::function<void()> restore);

// Hooks installed for one scope; the previous ones come back when it ends.
class ScopedWaitCursorHooks {
public:
    ScopedWaitCursorHooks(std::function<void()> show, std::function<void()> restore);
    ~ScopedWaitCursorHooks();
    ScopedWaitCursorHooks(const ScopedWaitCursorHooks&) = delete;
    ScopedWaitCursorHooks& operator=(const ScopedWaitCursorHooks&) = delete;

private:
    std::function<void()> previousShow_, previousRestore_;
};

// Shows the wait cursor for one scope.
class ScopedWaitCursor {
public:
    ScopedWaitCursor();
    ~ScopedWaitCursor();
    ScopedWaitCursor(const ScopedWaitCursor&) = delete;
    ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;
};

}  // namespace korva
