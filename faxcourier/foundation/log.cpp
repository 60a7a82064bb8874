#include "faxcourier/foundation/log.h"

#include "platform/file_ops.h"
#include "platform/paths.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

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
    // A folder that cannot be made fails the open below, which drops the message.
    (void)makeFolders(logFolder(), 0700);
    // The log names recipients and documents: private to the user. Regular
    // files only, so a FIFO in its place cannot stall the logging thread.
    auto fd = openRegularFile(logFilePath(), O_WRONLY | O_APPEND | O_CREAT, 0600);
    if (!fd)
        return;
    if (FILE* file = fdopen(*fd, "a")) {
        std::fprintf(file, "%.500s", message);
        std::fclose(file);
    } else {
        close(*fd);
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

bool setDebugLogging(bool on) { return debugFlag.exchange(on); }
bool debugLogging() { return debugFlag.load(); }

std::string logFilePath() { return logFolder() + "/korvafax.log"; }

}  // namespace korva
