// INI text: any section and key asked of any text gives a bounded answer.
#include "platform/ini_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    // The first line names what to look up: "section/key/buffer size".
    auto newline = text.find('\n');
    std::string query = text.substr(0, newline == std::string::npos ? 0 : newline);
    auto slash = query.find('/');
    auto slash2 = slash == std::string::npos ? slash : query.find('/', slash + 1);
    std::string section = query.substr(0, slash);
    std::string key = slash == std::string::npos ? "Level" : query.substr(slash + 1, slash2 - slash - 1);
    size_t bufferSize = slash2 == std::string::npos ? 10 : std::strtoul(query.c_str() + slash2 + 1, nullptr, 10) % 600;
    std::string value = korva::profileStringFromText(section, key, "Bandsink64.log", bufferSize, text);
    if (bufferSize == 0 ? !value.empty() : value.size() > bufferSize - 1)
        std::abort();
    return 0;
}
