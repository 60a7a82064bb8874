#include "platform/registry_store.h"

#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/registry_store_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <vector>

namespace korva {
namespace {

using registry::Hive;
using registry::HiveIndex;
using registry::Value;

// A file rewritten in place within this long of our reading it may keep the
// same time stamp (coarse file system clocks), so until then it is compared
// by content.
constexpr int64_t kStampSettleNs = 2'000'000'000;

// Which file was read: a rewrite by another program changes one of these.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

struct LoadedHive {
    Hive hive;
    HiveIndex index;
    int error = kRegOk;    // kRegReadFault when the file exists but cannot be read
    bool partial = false;  // the file had an unreadable line; only what came before is here
    std::string text;      // the file as read; dropped once settled unless partial
    FileStamp stamp;
    bool settled = false;                                     // a rewrite would change the stamp
    std::map<std::string, std::vector<std::string>> subKeys;  // by folded path, as asked for
};

// One lock for every hive: a change is read, modified and written whole.
std::mutex storeMutex;
std::set<std::string> reportedFiles;
// Each hive file as last read, so a start-up's many reads parse it once.
std::map<std::string, LoadedHive> loadedHives;

void reportOnce(const std::string& path, const std::string& what)
{
    if (reportedFiles.insert(path).second)
        std::fprintf(stderr, "KORVA Fax registry: %s: %s\n", path.c_str(), what.c_str());
}

int64_t nanoseconds(const timespec& t) { return int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

int64_t nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now);
}

FileStamp stampOf(const struct stat& st) { return {true, st.st_dev, st.st_ino, st.st_size, nanoseconds(st.st_mtim)}; }

// The stamp of the file now; none when it cannot be looked at (reading it
// then says why).
std::optional<FileStamp> currentStamp(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return stampOf(st);
    if (errno == ENOENT)
        return FileStamp{};
    return std::nullopt;
}

bool readFile(const std::string& path, std::string& text, FileStamp& stamp, int& err)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        err = errno;
        return false;
    }
    struct stat st {};
    if (fstat(fileno(file), &st) == 0)
        stamp = stampOf(st);
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, n);
    err = std::ferror(file) ? (errno ? errno : EIO) : 0;
    std::fclose(file);
    return err == 0;
}

bool settledAt(const FileStamp& stamp, int64_t readStartNs)
{
    return !stamp.exists || stamp.modifiedNs < readStartNs - kStampSettleNs;
}

LoadedHive readHive(RegistryHive which, const std::string& path)
{
    LoadedHive loaded;
    int64_t readStart = nowNs();
    int err = 0;
    if (!readFile(path, loaded.text, loaded.stamp, err)) {
        loaded.text.clear();
        loaded.stamp = {};
        if (err != ENOENT) {
            loaded.error = kRegReadFault;
            reportOnce(path, std::string("cannot be read: ") + std::strerror(err));
        }
        loaded.settled = loaded.error == kRegOk;
        return loaded;
    }
    registry::ParsedHive parsed = registry::parseHive(loaded.text, registryHiveName(which));
    loaded.hive = std::move(parsed.hive);
    loaded.index = std::move(parsed.index);
    loaded.settled = settledAt(loaded.stamp, readStart);
    if (parsed.badLine) {
        loaded.partial = true;
        reportOnce(path, "line " + std::to_string(parsed.badLine) + ": " + parsed.problem +
                             "; only the lines before it are used");
    }
    if (loaded.settled && !loaded.partial)
        std::string().swap(loaded.text);
    return loaded;
}

// A stamp that has not settled yet may hide a rewrite: the text decides.
bool sameTextStill(LoadedHive& loaded, const std::string& path)
{
    int64_t readStart = nowNs();
    std::string text;
    FileStamp stamp;
    int err = 0;
    if (!readFile(path, text, stamp, err) || stamp != loaded.stamp || text != loaded.text)
        return false;
    loaded.settled = settledAt(stamp, readStart);
    if (loaded.settled && !loaded.partial)
        std::string().swap(loaded.text);
    return true;
}

// The hive as the file holds it now, read again only when the file changed.
LoadedHive& loadHive(RegistryHive which)
{
    std::string path = registryHivePath(which);
    auto known = loadedHives.find(path);
    if (known != loadedHives.end()) {
        LoadedHive& loaded = known->second;
        if (loaded.error == kRegOk && loaded.stamp == currentStamp(path) &&
            (loaded.settled || sameTextStill(loaded, path)))
            return loaded;
    }
    return loadedHives[path] = readHive(which, path);
}

// After the process changed the hive (or tried to), the file is what counts.
void forgetHive(RegistryHive which) { loadedHives.erase(registryHivePath(which)); }

// Keeps the unreadable file beside the hive before it is replaced, so
// nothing the administrator wrote is lost.
bool keepUnreadableCopy(const std::string& path, const std::string& text)
{
    for (int n = 0; n < 100; ++n) {
        std::string copy = path + ".unreadable" + (n ? "." + std::to_string(n) : "");
        if (fileExists(copy))
            continue;
        if (!writeFileAtomically(copy, text.data(), text.size(), 0600))
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
    if (!makeFolders(configHome() + "/KORVAFax", 0700))
        return kRegWriteFault;
    if (loaded.partial && !keepUnreadableCopy(path, loaded.text))
        return kRegWriteFault;
    std::string text = registry::formatHive(loaded.hive, registryHiveName(which));
    return writeFileAtomically(path, text.data(), text.size(), 0600) ? kRegOk : kRegWriteFault;
}

std::string valueName(const char* name)
{
    if (!name || std::strcmp(name, "@") == 0)
        return {};
    return name;
}

const Value* lookUp(const LoadedHive& loaded, const std::string& keyPath, const char* name)
{
    size_t key = loaded.index.findKey(keyPath);
    return key == HiveIndex::npos ? nullptr : loaded.index.findValue(loaded.hive, key, valueName(name));
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
    const LoadedHive& loaded = loadHive(hive);
    if (!loaded.index.keyExists(path))
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
    if (hive != RegistryHive::CurrentUser)
        return kRegAccessDenied;
    std::lock_guard lock(storeMutex);
    LoadedHive& loaded = loadHive(hive);
    if (!loaded.index.keyExists(path)) {
        loaded.index.addKey(loaded.hive, path);
        int err = saveHive(hive, loaded);
        forgetHive(hive);
        if (err)
            return err;
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
        const LoadedHive& loaded = loadHive(hive_);
        const Value* value = lookUp(loaded, path_, name);
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
    LoadedHive& loaded = loadHive(hive_);
    // An implied parent key, or one removed by hand since it was opened, is
    // added here.
    size_t key = loaded.index.addKey(loaded.hive, path_);
    // Like Windows, a value keeps the spelling it was first stored under.
    if (Value* existing = loaded.index.findValue(loaded.hive, key, value.name)) {
        existing->type = value.type;
        existing->data = std::move(value.data);
    } else {
        loaded.index.addValue(loaded.hive, key, std::move(value));
    }
    int err = saveHive(hive_, loaded);
    forgetHive(hive_);
    return err;
}

int RegistryKey::enumSubKey(uint32_t index, std::string& name) const
{
    if (!open_)
        return kRegInvalidParameter;
    std::lock_guard lock(storeMutex);
    LoadedHive& loaded = loadHive(hive_);
    // Callers walk the indexes one by one: list the sub-keys once.
    std::string folded = registry::foldedName(path_);
    auto listed = loaded.subKeys.find(folded);
    if (listed == loaded.subKeys.end())
        listed = loaded.subKeys.emplace(folded, loaded.index.subKeys(loaded.hive, path_)).first;
    if (index >= listed->second.size())
        return kRegNoMoreItems;
    name = listed->second[index];
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
