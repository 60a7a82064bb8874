#include "faxcourier/app/startup_rules.h"

#include <cstdlib>
#include <cstring>

namespace korva::app {
namespace {

bool isSet(const char* value) { return value && *value; }

bool switchGiven(const std::vector<std::string>& arguments, const char* name)
{
    for (const std::string& argument : arguments)
        if (argument == name)
            return true;
    return false;
}

}  // namespace

bool debugSwitchGiven(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments)
        if (argument.find("-debug") != std::string::npos)
            return true;
    return false;
}

bool configureSwitchGiven(const std::vector<std::string>& arguments) { return switchGiven(arguments, "--configure"); }

bool addressBookSwitchGiven(const std::vector<std::string>& arguments)
{
    return switchGiven(arguments, "--address-book");
}

bool outboxWindowSwitchGiven(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments)
        if (argument == "--outbox-window")
            return true;
    return false;
}

SecondStartRequest secondStartRequest(const std::vector<std::string>& arguments)
{
    if (configureSwitchGiven(arguments))
        return {"openConfigure", "Configure"};
    if (addressBookSwitchGiven(arguments))
        return {"openAddressBook", "the Fax Address Book"};
    if (outboxWindowSwitchGiven(arguments))
        return {"openOutboxWindow", "the Outbox window"};
    return {"openConfigure", "Configure"};
}

bool quitSwitchGiven(const std::vector<std::string>& arguments) { return switchGiven(arguments, "--quit"); }

bool offscreenPlatformNeeded(const char* display, const char* waylandDisplay, const char* qpaPlatform)
{
    return !isSet(display) && !isSet(waylandDisplay) && !isSet(qpaPlatform);
}

bool chooseDisplayPlatform()
{
    if (offscreenPlatformNeeded(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("QT_QPA_PLATFORM")))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return std::strcmp(platform ? platform : "", "offscreen") == 0 ||
           std::strcmp(platform ? platform : "", "minimal") == 0;
}

}  // namespace korva::app
