#include "faxcourier/foundation/log.h"

#include "platform/paths.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace korva {
namespace {

std::atomic<bool> debugFlag{false};

std::string logFolder() { return stateHome() + "/KORVAFax"; }

// One open-append-close per message, so messages of different threads
// interleave only whole. A file that cannot be opened loses the message.
void appendMessage(const char* format, va_list args)
{
    char message[1000];
    std::vsnprintf(message, sizeof message, format, args);
    makeFolders(logFolder(), 0700);
    if (FILE* file = std::fopen(logFilePath().c_str(), "a")) {
        std::fprintf(file, "%.500s", message);
        std::fclose(file);
    }
}

}  // namespace

void LogAlways(int, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    appendMessage(format, args);
    va_end(args);
}

void LogDebug(const char* format, ...)
{
    if (!debugFlag.load())
        return;
    va_list args;
    va_start(args, format);
    appendMessage(format, args);
    va_end(args);
}

void setDebugLogging(bool on) { debugFlag.store(on); }
bool debugLogging() { return debugFlag.load(); }

std::string logFilePath() { return logFolder() + "/korvafax.log"; }

}  // namespace korva
