#pragma once
// Start-up decisions that need no window: the debug switch and the display
// platform.

#include <string>
#include <vector>

namespace korva::app {

// True when "-debug" appears anywhere in the arguments (letter case counts;
// part of a longer argument counts too). The program's own path is not
// looked at.
bool debugSwitchGiven(const std::vector<std::string>& arguments);

// True when "--configure" is one of the arguments.
bool configureSwitchGiven(const std::vector<std::string>& arguments);
// True when "--address-book" is one of the arguments.
bool addressBookSwitchGiven(const std::vector<std::string>& arguments);
// True when "--outbox-window" is one of the arguments.
bool outboxWindowSwitchGiven(const std::vector<std::string>& arguments);

// What a second start asks the running faxcourier to open: Configure,
// unless --address-book or --outbox-window ask for another window and
// --configure is not given too.
struct SecondStartRequest {
    const char* method;  // the bus method
    const char* window;  // for the log: "Configure", "the Outbox window" ...
};
SecondStartRequest secondStartRequest(const std::vector<std::string>& arguments);
// True when "--quit" is one of the arguments.
bool quitSwitchGiven(const std::vector<std::string>& arguments);

// True when Qt must draw offscreen: neither DISPLAY nor WAYLAND_DISPLAY is
// set and no platform was chosen through QT_QPA_PLATFORM.
bool offscreenPlatformNeeded(const char* display, const char* waylandDisplay, const char* qpaPlatform);

// Sets QT_QPA_PLATFORM=offscreen when offscreenPlatformNeeded says so.
// Must run before the application object exists. True when nobody can see
// the program's windows (offscreen or minimal platform).
bool chooseDisplayPlatform();

}  // namespace korva::app
