#include "platform/registry_store.h"

#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/registry_store_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <strings.h>
#include <vector>

namespace korva {
namespace {

using registry::Hive;
using registry::Key;
using registry::Value;

// One lock for every hive: a change is read, modified and written whole.
std::mutex storeMutex;
std::set<std::string> reportedFiles;

struct LoadedHive {
    Hive hive;
    int error = kRegOk;    // kRegReadFault when the file exists but cannot be read
    bool partial = false;  // the file had an unreadable line; only what came before is here
    std::string text;      // the file as read
};

void reportOnce(const std::string& path, const std::string& what)
{
    if (reportedFiles.insert(path).second)
        std::fprintf(stderr, "KORVA Fax registry: %s: %s\n", path.c_str(), what.c_str());
}

bool readFile(const std::string& path, std::string& text, int& err)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        err = errno;
        return false;
    }
    char chunk[8192];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, n);
    err = std::ferror(file) ? (errno ? errno : EIO) : 0;
    std::fclose(file);
    return err == 0;
}

LoadedHive loadHive(RegistryHive which)
{
    LoadedHive loaded;
    std::string path = registryHivePath(which);
    int err = 0;
    if (!readFile(path, loaded.text, err)) {
        loaded.text.clear();
        if (err != ENOENT) {
            loaded.error = kRegReadFault;
            reportOnce(path, std::string("cannot be read: ") + std::strerror(err));
        }
        return loaded;
    }
    registry::ParsedHive parsed = registry::parseHive(loaded.text, registryHiveName(which));
    loaded.hive = std::move(parsed.hive);
    if (parsed.badLine) {
        loaded.partial = true;
        reportOnce(path, "line " + std::to_string(parsed.badLine) + ": " + parsed.problem +
                             "; only the lines before it are used");
    }
    return loaded;
}

// Keeps the unreadable file beside the hive before it is replaced, so
// nothing the administrator wrote is lost.
bool keepUnreadableCopy(const std::string& path, const std::string& text)
{
    for (int n = 0; n < 100; ++n) {
        std::string copy = path + ".unreadable" + (n ? "." + std::to_string(n) : "");
        if (fileExists(copy))
            continue;
        if (writeFileAtomically(copy, text.data(), text.size(), 0600) != 0)
            return false;
        std::fprintf(stderr, "KORVA Fax registry: %s: kept the unreadable file as %s\n", path.c_str(), copy.c_str());
        return true;
    }
    return false;
}

int saveHive(RegistryHive which, const LoadedHive& loaded)
{
    if (which != RegistryHive::CurrentUser)
        return kRegAccessDenied;
    if (loaded.error)
        return loaded.error;
    std::string path = registryHivePath(which);
    if (makeFolders(configHome() + "/KORVAFax", 0700) != 0)
        return kRegWriteFault;
    if (loaded.partial && !keepUnreadableCopy(path, loaded.text))
        return kRegWriteFault;
    std::string text = registry::formatHive(loaded.hive, registryHiveName(which));
    return writeFileAtomically(path, text.data(), text.size(), 0600) == 0 ? kRegOk : kRegWriteFault;
}

bool isBelow(const std::string& path, const std::string& parent)
{
    if (parent.empty())
        return !path.empty();
    return path.size() > parent.size() + 1 && path[parent.size()] == '\\' &&
           registry::sameName(path.substr(0, parent.size()), parent);
}

bool keyExists(const Hive& hive, const std::string& path)
{
    if (path.empty() || registry::findKey(hive, path))
        return true;
    return std::any_of(hive.keys.begin(), hive.keys.end(), [&](const Key& k) { return isBelow(k.path, path); });
}

std::string valueName(const char* name)
{
    if (!name || std::strcmp(name, "@") == 0)
        return {};
    return name;
}

const Value* lookUp(const Hive& hive, const std::string& keyPath, const char* name)
{
    const Key* key = registry::findKey(hive, keyPath);
    return key ? registry::findValue(const_cast<Key&>(*key), valueName(name)) : nullptr;
}

}  // namespace

const char* registryHiveName(RegistryHive hive)
{
    switch (hive) {
    case RegistryHive::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RegistryHive::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RegistryHive::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    }
    return "";
}

std::string registryHivePath(RegistryHive hive)
{
    std::string file = std::string(registryHiveName(hive)) + ".reg";
    if (hive == RegistryHive::CurrentUser)
        return configHome() + "/KORVAFax/" + file;
    return sysconfDir() + "/" + file;
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : hive_(other.hive_), path_(std::move(other.path_)), open_(other.open_)
{
    other.open_ = false;
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept
{
    hive_ = other.hive_;
    path_ = std::move(other.path_);
    open_ = other.open_;
    other.open_ = false;
    return *this;
}

int RegistryKey::open(RegistryHive hive, const std::string& subKey)
{
    open_ = false;
    std::string path;
    if (!registry::normalizePath(subKey, path))
        return kRegBadPath;
    std::lock_guard lock(storeMutex);
    LoadedHive loaded = loadHive(hive);
    if (!keyExists(loaded.hive, path))
        return loaded.error ? loaded.error : kRegNotFound;
    hive_ = hive;
    path_ = path;
    open_ = true;
    return kRegOk;
}

int RegistryKey::create(RegistryHive hive, const std::string& subKey)
{
    open_ = false;
    std::string path;
    if (!registry::normalizePath(subKey, path))
        return kRegBadPath;
    std::lock_guard lock(storeMutex);
    LoadedHive loaded = loadHive(hive);
    if (!keyExists(loaded.hive, path)) {
        loaded.hive.keys.push_back(Key{path, {}});
        if (int err = saveHive(hive, loaded))
            return err;
    } else if (hive != RegistryHive::CurrentUser) {
        return kRegAccessDenied;
    }
    hive_ = hive;
    path_ = path;
    open_ = true;
    return kRegOk;
}

int RegistryKey::queryValue(const char* name, uint32_t* type, void* data, uint32_t* size) const
{
    if (!open_ || (data && !size))
        return kRegInvalidParameter;
    Value found;
    {
        std::lock_guard lock(storeMutex);
        LoadedHive loaded = loadHive(hive_);
        const Value* value = lookUp(loaded.hive, path_, name);
        if (!value)
            return loaded.error ? loaded.error : kRegNotFound;
        found = *value;
    }
    if (found.type == REG_SZ)
        found.data += '\0';
    if (type)
        *type = found.type;
    uint32_t needed = uint32_t(found.data.size());
    int result = kRegOk;
    if (data) {
        if (*size < needed)
            result = kRegMoreData;
        else
            std::memcpy(data, found.data.data(), needed);
    }
    if (size)
        *size = needed;
    return result;
}

int RegistryKey::setValue(const char* name, uint32_t type, const void* data, uint32_t size)
{
    if (!open_ || (size && !data))
        return kRegInvalidParameter;
    if (hive_ != RegistryHive::CurrentUser)
        return kRegAccessDenied;
    Value value{valueName(name), type, std::string(static_cast<const char*>(data), size)};
    if (type == REG_SZ)
        value.data.resize(std::strlen(value.data.c_str()));
    std::lock_guard lock(storeMutex);
    LoadedHive loaded = loadHive(hive_);
    Key* key = registry::findKey(loaded.hive, path_);
    if (!key) {
        // An implied parent key, or one removed by hand since it was opened.
        key = &loaded.hive.keys.emplace_back(Key{path_, {}});
    }
    // Like Windows, a value keeps the spelling it was first stored under.
    if (Value* existing = registry::findValue(*key, value.name)) {
        existing->type = value.type;
        existing->data = std::move(value.data);
    }
    else
        key->values.push_back(std::move(value));
    return saveHive(hive_, loaded);
}

int RegistryKey::enumSubKey(uint32_t index, std::string& name) const
{
    if (!open_)
        return kRegInvalidParameter;
    std::vector<std::string> names;
    {
        std::lock_guard lock(storeMutex);
        LoadedHive loaded = loadHive(hive_);
        size_t skip = path_.empty() ? 0 : path_.size() + 1;
        for (const Key& key : loaded.hive.keys) {
            if (!isBelow(key.path, path_))
                continue;
            std::string child = key.path.substr(skip, key.path.find('\\', skip) - skip);
            bool known = std::any_of(names.begin(), names.end(),
                                     [&](const std::string& n) { return registry::sameName(n, child); });
            if (!known)
                names.push_back(child);
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    if (index >= names.size())
        return kRegNoMoreItems;
    name = names[index];
    return kRegOk;
}

std::optional<std::string> RegistryKey::readString(const char* name) const
{
    uint32_t type = 0, size = 0;
    if (queryValue(name, &type, nullptr, &size) != kRegOk || type != REG_SZ)
        return std::nullopt;
    std::vector<char> data(size + 1, '\0');
    if (queryValue(name, &type, data.data(), &size) != kRegOk || type != REG_SZ)
        return std::nullopt;
    return std::string(data.data());
}

std::optional<uint32_t> RegistryKey::readDword(const char* name) const
{
    uint32_t type = 0, value = 0, size = sizeof value;
    if (queryValue(name, &type, &value, &size) != kRegOk || type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

int RegistryKey::writeString(const char* name, const std::string& text)
{
    return setValue(name, REG_SZ, text.c_str(), uint32_t(std::strlen(text.c_str()) + 1));
}

int RegistryKey::writeDword(const char* name, uint32_t value)
{
    return setValue(name, REG_DWORD, &value, sizeof value);
}

}  // namespace korva
