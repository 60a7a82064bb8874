#include "tools/cups/backend_log.h"

#include <cstdio>

namespace korva::cups {
namespace {

void logLine(const char* level, const std::string& text)
{
    std::fprintf(stderr, "%s: %s\n", level, printable(text).c_str());
    std::fflush(stderr);
}

}  // namespace

std::string printable(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return out;
}

void logError(const std::string& text) { logLine("ERROR", text); }
void logInfo(const std::string& text) { logLine("INFO", text); }
void logDebug(const std::string& text) { logLine("DEBUG", text); }

}  // namespace korva::cups
