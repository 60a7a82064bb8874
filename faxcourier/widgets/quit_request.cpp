#include "faxcourier/widgets/quit_request.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>

namespace korva::app {
namespace {

std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

}  // namespace

void requestQuit()
{
    requested = true;
    QCoreApplication::exit(0);
}

bool quitRequested() { return requested; }

void noteQuitSignal() noexcept { requested.store(true); }

const std::atomic<bool>& quitFlag() { return requested; }
void resetQuitRequest()
{
    if (!requested.exchange(false) || !QCoreApplication::instance())
        return;
    // Qt keeps an exit without a running loop pending, and every later loop
    // would end at once; one short run of the main loop takes it back.
    QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

}  // namespace korva::app
