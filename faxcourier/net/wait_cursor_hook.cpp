#include "faxcourier/net/wait_cursor_hook.h"

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
