#pragma once
// The exit library's diagnostic log. Level and file come from the section
// "ExitLogging" of JOVPRINT.INI; each entry is the asctime text of the local
// time, then the message indented by two spaces. Above level 3 every
// message is also shown in a message box.

#include <cstddef>
#include <string>
#include <string_view>

namespace korva {

// Messages are built in a buffer of this size and cut to fit.
inline constexpr size_t exitLogMessageSize = 512;

// Reads "Level" and "LogFile" again.
void reloadExitLogSettings();

int exitLogLevel();
std::string exitLogFile();

// Severity 1 marks errors, 3 the trace of calls.
void exitLog(int severity, std::string_view message);

// printf-style text cut to exitLogMessageSize - 1 characters. Names and
// other outside text go in as arguments, never as the format.
std::string exitLogText(const char* format, ...) __attribute__((format(printf, 1, 2)));
void exitLogf(int severity, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A message box's text, cut like a log message but never inside a
// character: the box shows the translation of what the log keeps in English.
std::string exitBoxText(std::string text);

// The "Level" text as a number: empty or not a number gives 0.
int parseLogLevel(std::string_view text);

}  // namespace korva
