#include "faxcourier/net/wait_cursor_hook.h"

#include <utility>

namespace korva {
namespace {

std::function<void()>& showHook()
{
    static std::function<void()> hook;
    return hook;
}

std::function<void()>& restoreHook()
{
    static std::function<void()> hook;
    return hook;
}

}  // namespace

void setWaitCursorHooks(std::function<void()> show, std::function<void()> restore)
{
    showHook() = std::move(show);
    restoreHook() = std::move(restore);
}

ScopedWaitCursorHooks::ScopedWaitCursorHooks(std::function<void()> show, std::function<void()> restore)
    : previousShow_(std::exchange(showHook(), std::move(show))),
      previousRestore_(std::exchange(restoreHook(), std::move(restore)))
{
}

ScopedWaitCursorHooks::~ScopedWaitCursorHooks() { setWaitCursorHooks(previousShow_, previousRestore_); }

ScopedWaitCursor::ScopedWaitCursor()
{
    if (showHook())
        showHook()();
}

ScopedWaitCursor::~ScopedWaitCursor()
{
    if (restoreHook())
        restoreHook()();
}

}  // namespace korva
