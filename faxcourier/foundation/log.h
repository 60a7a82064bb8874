#pragma once
// faxcourier's plain-text log: one message per open-append-close, cut to
// 500 characters, nothing added (no time stamp, no line end).

#include <string>

namespace korva {

// Appends the message whatever the debug flag says. `level` is the caller's
// tag (-1 string class and time-outs, 0 socket errors, 1 progress, 2 peer
// closed); it is neither filtered on nor written.
void LogAlways(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Appends the message only while the debug flag is on.
void LogDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Returns the previous setting.
bool setDebugLogging(bool on);
bool debugLogging();

// "<state home>/KORVAFax/korvafax.log"
std::string logFilePath();

}  // namespace korva
