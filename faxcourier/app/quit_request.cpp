#include "faxcourier/app/quit_request.h"

#include <QCoreApplication>

#include <atomic>

namespace korva::app {
namespace {

std::atomic<bool> requested{false};

}  // namespace

void requestQuit()
{
    requested = true;
    QCoreApplication::exit(0);
}

bool quitRequested() { return requested; }
void resetQuitRequest() { requested = false; }

}  // namespace korva::app
