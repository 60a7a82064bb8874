#include "platform/ini_file.h"

#include "platform/paths.h"

#include <fstream>
#include <sstream>
#include <strings.h>

namespace korva {
namespace {

std::string trimmed(const std::string& s)
{
    const char* blanks = " \t\r\n";
    auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    auto last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

std::string cut(std::string value, size_t bufferSize)
{
    if (bufferSize == 0)
        return {};
    if (value.size() > bufferSize - 1)
        value.resize(bufferSize - 1);
    return value;
}

std::string unquoted(const std::string& value)
{
    if (value.size() >= 2) {
        char q = value.front();
        if ((q == '"' || q == '\'') && value.back() == q)
            return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

std::string profileStringFromText(const std::string& section, const std::string& key, const std::string& defaultValue,
                                  size_t bufferSize, const std::string& text)
{
    std::istringstream lines(text);
    std::string line;
    bool inSection = false;
    const std::string wantedSection = trimmed(section);
    const std::string wantedKey = trimmed(key);
    while (std::getline(lines, line)) {
        std::string t = trimmed(line);
        if (t.empty() || t[0] == ';')
            continue;
        if (t[0] == '[') {
            auto close = t.find(']');
            inSection = close != std::string::npos && sameName(trimmed(t.substr(1, close - 1)), wantedSection);
            continue;
        }
        if (!inSection)
            continue;
        auto eq = t.find('=');
        if (eq == std::string::npos)
            continue;
        if (sameName(trimmed(t.substr(0, eq)), wantedKey))
            return cut(unquoted(trimmed(t.substr(eq + 1))), bufferSize);
    }
    return cut(trimmed(defaultValue), bufferSize);
}

std::string readProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                              size_t bufferSize, const std::string& iniPath)
{
    std::ifstream file(iniPath, std::ios::binary);
    if (!file)
        return cut(trimmed(defaultValue), bufferSize);
    std::ostringstream text;
    text << file.rdbuf();
    return profileStringFromText(section, key, defaultValue, bufferSize, text.str());
}

std::string jovprintIniPath() { return sysconfDir() + "/JOVPRINT.INI"; }

}  // namespace korva
