#include "bandsink64/exit_log.h"

#include "platform/file_ops.h"
#include "platform/ini_file.h"
#include "platform/message_box.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace korva {
namespace {

// Read again when the library is unloaded, which may be after the C++
// statics of this library are gone: keep the settings trivially
// destructible.
struct Settings {
    int level;
    bool logFileUsable;  // false when the configured name does not fit
    char logFile[PATH_MAX];
};

std::mutex settingsMutex;
Settings settings = {0, true, "Bandsink64.log"};

Settings currentSettings()
{
    std::lock_guard lock(settingsMutex);
    return settings;
}

std::string asctimeNow()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[64] = {};
    if (!localtime_r(&now, &local) || !asctime_r(&local, text))
        return "\n";
    return text;
}

void appendEntry(const char* path, std::string_view message)
{
    std::string entry = asctimeNow() + "  ";
    entry.append(message);
    entry += '\n';
    // The log names users and documents: keep it to its owner. A FIFO or
    // device named as the log would stall printing: regular files only.
    // An entry that cannot be written is lost silently: the log has no log.
    auto fd = openRegularFile(path, O_WRONLY | O_APPEND | O_CREAT, 0600);
    if (!fd)
        return;
    [[maybe_unused]] auto written = writeAll(*fd, entry.data(), entry.size());
    ::close(*fd);
}

std::string vformatText(const char* format, va_list args)
{
    char buffer[exitLogMessageSize];
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (n < 0)
        return {};
    return std::string(buffer, std::min(size_t(n), sizeof buffer - 1));
}

}  // namespace

int parseLogLevel(std::string_view text)
{
    std::string digits(text);
    errno = 0;
    long value = std::strtol(digits.c_str(), nullptr, 10);
    if (errno == ERANGE || value > INT_MAX)
        return value < 0 ? INT_MIN : INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return int(value);
}

void reloadExitLogSettings()
{
    const std::string ini = jovprintIniPath();
    const std::string level = readProfileString("ExitLogging", "Level", "", 10, ini);
    // One byte more than fits, so that a name too long to use is noticed
    // rather than cut into the name of some other file.
    const std::string file = readProfileString("ExitLogging", "LogFile", "Bandsink64.log", PATH_MAX + 1, ini);
    std::lock_guard lock(settingsMutex);
    settings.level = parseLogLevel(level);
    settings.logFileUsable = file.size() < sizeof settings.logFile;
    if (settings.logFileUsable)
        std::memcpy(settings.logFile, file.c_str(), file.size() + 1);
    else
        settings.logFile[0] = '\0';
}

int exitLogLevel() { return currentSettings().level; }

std::string exitLogFile()
{
    Settings s = currentSettings();
    return s.logFile;
}

void exitLog(int severity, std::string_view message)
{
    message = message.substr(0, std::min(message.size(), exitLogMessageSize - 1));
    Settings s = currentSettings();
    if (severity <= s.level && s.logFileUsable)
        appendEntry(s.logFile, message);
    if (s.level > 3)
        showMessageBox("", std::string(message));
}

std::string exitLogText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = vformatText(format, args);
    va_end(args);
    return text;
}

std::string exitBoxText(std::string text)
{
    if (text.size() < exitLogMessageSize)
        return text;
    size_t end = exitLogMessageSize - 1;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

void exitLogf(int severity, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = vformatText(format, args);
    va_end(args);
    exitLog(severity, text);
}

}  // namespace korva
