// Registry hive text: whatever is read must be written back in a form that
// reads again as the same keys and values.
#include "platform/registry_store_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace korva::registry;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    ParsedHive first = parseHive(text, "HKEY_CURRENT_USER");
    std::string written = formatHive(first.hive, "HKEY_CURRENT_USER");
    ParsedHive second = parseHive(written, "HKEY_CURRENT_USER");
    if (second.badLine != 0)
        std::abort();
    if (second.hive.keys.size() != first.hive.keys.size())
        std::abort();
    for (size_t k = 0; k < first.hive.keys.size(); ++k) {
        const Key& a = first.hive.keys[k];
        const Key& b = second.hive.keys[k];
        if (!sameName(a.path, b.path) || a.values.size() != b.values.size())
            std::abort();
        for (size_t v = 0; v < a.values.size(); ++v)
            if (!sameName(a.values[v].name, b.values[v].name) || a.values[v].type != b.values[v].type ||
                a.values[v].data != b.values[v].data)
                std::abort();
    }
    return 0;
}
