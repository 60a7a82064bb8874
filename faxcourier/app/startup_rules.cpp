#include "faxcourier/app/startup_rules.h"

#include <cstdlib>

namespace korva::app {
namespace {

bool isSet(const char* value) { return value && *value; }

}  // namespace

bool debugSwitchGiven(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments)
        if (argument.find("-debug") != std::string::npos)
            return true;
    return false;
}

bool offscreenPlatformNeeded(const char* display, const char* waylandDisplay, const char* qpaPlatform)
{
    return !isSet(display) && !isSet(waylandDisplay) && !isSet(qpaPlatform);
}

void chooseDisplayPlatform()
{
    if (offscreenPlatformNeeded(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("QT_QPA_PLATFORM")))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

}  // namespace korva::app
