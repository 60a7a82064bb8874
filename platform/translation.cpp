#include "platform/translation.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace korva {
namespace {

namespace fs = std::filesystem;
using Catalogue = std::unordered_map<std::string, std::string>;

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// "de_DE.UTF-8@euro" asks for "de_DE", then "de".
void addLanguage(std::vector<std::string>& languages, std::string name)
{
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX")
        return;
    for (const std::string& candidate : {name, name.substr(0, name.find('_'))})
        if (std::find(languages.begin(), languages.end(), candidate) == languages.end())
            languages.push_back(candidate);
}

std::uint32_t word(const std::string& bytes, std::size_t at, bool swapped)
{
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return swapped ? __builtin_bswap32(value) : value;
}

// A compiled gettext catalogue: a header, then two tables of (length,
// offset) pairs for the keys and their texts. A damaged file reads as none.
std::optional<Catalogue> readCatalogue(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 20)
        return std::nullopt;
    const std::uint32_t magic = word(bytes, 0, false);
    if (magic != 0x950412de && magic != 0xde120495)
        return std::nullopt;
    const bool swapped = magic != 0x950412de;
    const std::uint64_t count = word(bytes, 8, swapped);
    const std::uint64_t keys = word(bytes, 12, swapped);
    const std::uint64_t texts = word(bytes, 16, swapped);
    auto string = [&](std::uint64_t table, std::uint64_t index) -> std::optional<std::string> {
        const std::uint64_t entry = table + index * 8;
        if (entry + 8 > bytes.size())
            return std::nullopt;
        const std::uint64_t length = word(bytes, entry, swapped);
        const std::uint64_t offset = word(bytes, entry + 4, swapped);
        if (offset + length > bytes.size())
            return std::nullopt;
        return bytes.substr(offset, length);
    };
    Catalogue catalogue;
    for (std::uint64_t i = 0; i < count; ++i) {
        auto key = string(keys, i);
        auto text = string(texts, i);
        if (!key || !text)
            return std::nullopt;
        if (!key->empty() && !text->empty())
            catalogue.emplace(std::move(*key), std::move(*text));
    }
    return catalogue;
}

Catalogue loadCatalogue()
{
    const fs::path folder = translationsFolder();
    for (const std::string& language : wantedLanguages()) {
        if (language == "en")
            break;
        if (auto catalogue = readCatalogue(folder / ("korvafax_" + language + ".mo")))
            return std::move(*catalogue);
    }
    return {};
}

std::mutex catalogueMutex;
std::optional<Catalogue> loaded;

}  // namespace

std::vector<std::string> wantedLanguages()
{
    // LANGUAGE first, as Qt reads it for its windows, so both halves of a
    // program speak the same language.
    std::vector<std::string> languages;
    const std::string list = variable("LANGUAGE");
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        addLanguage(languages, list.substr(start, end - start));
        start = end + 1;
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const std::string locale = variable(name); !locale.empty()) {
            addLanguage(languages, locale);
            break;
        }
    }
    return languages;
}

std::string translationsFolder()
{
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    for (fs::path folder = self.parent_path(); !error && folder.has_relative_path(); folder = folder.parent_path()) {
        for (const fs::path& candidate : {folder / "share/korvafax/translations", folder / "translations"})
            if (fs::exists(candidate / "korvafax_de.mo", error))
                return candidate.string();
    }
    return KORVA_INSTALLED_TRANSLATIONS;
}

std::string translated(const char* context, const char* text)
{
    const std::lock_guard lock(catalogueMutex);
    if (!loaded)
        loaded = loadCatalogue();
    if (loaded->empty())
        return text;
    // lconvert writes the context as "context|disambiguation".
    const auto found = loaded->find(std::string(context) + "|\x04" + text);
    return found == loaded->end() ? text : found->second;
}

std::string withArguments(std::string_view text, std::initializer_list<std::string_view> arguments)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t index = static_cast<std::size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && index < arguments.size()) {
            result += *(arguments.begin() + index);
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

void forgetTranslations()
{
    const std::lock_guard lock(catalogueMutex);
    loaded.reset();
}

}  // namespace korva
