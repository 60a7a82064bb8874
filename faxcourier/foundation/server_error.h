#pragma once
// The warning box through which the server conversations report failures:
// "KORVA Fax Printer", exclamation icon, OK button, owned by the caller's
// window. The app installs a sink that shows it; by default it goes to the
// platform's message box (standard error).
//
// The message is a text marked with QT_TRANSLATE_NOOP("ServerError", ...):
// `text` keeps it in English for the logs, `shown` is what the user reads.

#include "faxcourier/foundation/korva_string.h"
#include "platform/translation.h"

#include <functional>
#include <string>

namespace korva {

struct ServerErrorBox {
    void* owner = nullptr;  // the owning window, or null
    std::string caption;    // "KORVA Fax Printer"
    std::string message;    // what failed
    std::string context;    // the step: a command keyword or a placeholder
    std::string detail;     // the server's reply line or the socket error number
    std::string text;       // the three lines in English, at most 9999 characters
    std::string shown;      // the same in the user's language: for the box, never for a log
};

using ServerErrorSink = std::function<void(const ServerErrorBox& box)>;

// Returns when the sink returns (for a real box: when the user closed it).
void ShowServerError(void* owner, const char* message, const char* context, const String& detail);
// With the detail as the user reads it, where it is a sentence of ours.
void ShowServerError(void* owner, const char* message, const char* context, const String& detail,
                     const std::string& shownDetail);

// Installs `sink` (an empty one restores the default) and returns the
// previous sink.
ServerErrorSink setServerErrorSink(ServerErrorSink sink);

// Installs `sink` for the calling thread only, ahead of the one above (an
// empty one removes it), and returns the thread's previous sink: a thread
// that nobody waits on never reaches a box.
ServerErrorSink setThreadServerErrorSink(ServerErrorSink sink);

}  // namespace korva
