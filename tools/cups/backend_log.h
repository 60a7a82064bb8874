#pragma once
// Messages to the scheduler: one "LEVEL: text" line each on standard error.

#include <string>
#include <string_view>

namespace korva::cups {

// Control characters (a title may hold any) become '?', so that text from a
// job can never start a message line of its own.
std::string printable(std::string_view text);

void logError(const std::string& text);
void logInfo(const std::string& text);
void logDebug(const std::string& text);

}  // namespace korva::cups
