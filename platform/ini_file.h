#pragma once
// Reads INI files with the rules of GetPrivateProfileString: section and key
// names compare without regard to letter case, blanks around names and
// values are dropped, one pair of surrounding quotes is removed, the default
// is used when the file, section or key is missing, and the result is cut to
// `bufferSize - 1` characters.

#include <cstddef>
#include <string>

namespace korva {

std::string readProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                              size_t bufferSize, const std::string& iniPath);

// Same, over INI text already in memory.
std::string profileStringFromText(const std::string& section, const std::string& key, const std::string& defaultValue,
                                  size_t bufferSize, const std::string& text);

// "<sysconf dir>/JOVPRINT.INI", the exit library's settings.
std::string jovprintIniPath();

}  // namespace korva
