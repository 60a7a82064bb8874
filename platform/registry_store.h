#pragma once
// The registry: one text file per hive in Windows .reg form (see
// registry_store.md). Calls mirror the Win32 registry functions and return
// 0 or the Windows error number that the program would have seen.
//
// A key handle holds no data. Each hive file is parsed once per process and
// kept; a call reads it again only when the file changed on disk (time,
// size or inode), so an administrator's edit is seen at once. Every change
// rewrites the file whole through a temporary file and rename(), so a crash
// never leaves half a file. HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT are
// read only.

#include <cstdint>
#include <optional>
#include <string>

namespace korva {

enum class RegistryHive { CurrentUser, LocalMachine, ClassesRoot };

// Value types, numbered as in Windows.
constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;

// Results, numbered as in Windows.
constexpr int kRegOk = 0;
constexpr int kRegNotFound = 2;           // ERROR_FILE_NOT_FOUND
constexpr int kRegAccessDenied = 5;       // ERROR_ACCESS_DENIED
constexpr int kRegWriteFault = 29;        // ERROR_WRITE_FAULT: the hive file could not be written
constexpr int kRegReadFault = 30;         // ERROR_READ_FAULT: the hive file could not be read
constexpr int kRegInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
constexpr int kRegBadPath = 161;          // ERROR_BAD_PATHNAME
constexpr int kRegMoreData = 234;         // ERROR_MORE_DATA
constexpr int kRegNoMoreItems = 259;      // ERROR_NO_MORE_ITEMS

// "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT".
const char* registryHiveName(RegistryHive hive);

// The hive's file: "<config home>/KORVAFax/HKEY_CURRENT_USER.reg" or
// "<sysconf dir>/HKEY_LOCAL_MACHINE.reg" / "HKEY_CLASSES_ROOT.reg".
std::string registryHivePath(RegistryHive hive);

class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() = default;

    // RegOpenKeyEx: opens an existing key ("" is the hive's root; a key that
    // only has sub-keys exists too). kRegNotFound when missing.
    int open(RegistryHive hive, const std::string& subKey);

    // RegCreateKeyEx: opens the key, creating it and its parents when
    // missing. kRegAccessDenied outside HKEY_CURRENT_USER.
    int create(RegistryHive hive, const std::string& subKey);

    bool isOpen() const { return open_; }
    void close() { open_ = false; }
    RegistryHive hive() const { return hive_; }
    const std::string& path() const { return path_; }

    // RegQueryValueEx. `name` null or "" (or "@") is the default value. With
    // `data` null only the type and size are reported. When `*size` is too
    // small it gets the size needed and the result is kRegMoreData.
    int queryValue(const char* name, uint32_t* type, void* data, uint32_t* size) const;

    // RegSetValueEx: stores `size` bytes of `type` (a REG_SZ value is kept
    // up to its first NUL and read back with one NUL appended).
    int setValue(const char* name, uint32_t type, const void* data, uint32_t size);

    // RegEnumKeyEx: the name of the index-th direct sub-key, in alphabetical
    // order without regard to case; kRegNoMoreItems past the last.
    int enumSubKey(uint32_t index, std::string& name) const;

    // Conveniences over queryValue / setValue.
    std::optional<std::string> readString(const char* name) const;  // REG_SZ, up to the first NUL
    std::optional<uint32_t> readDword(const char* name) const;      // REG_DWORD only
    int writeString(const char* name, const std::string& text);     // REG_SZ with its NUL
    int writeDword(const char* name, uint32_t value);

private:
    RegistryHive hive_ = RegistryHive::CurrentUser;
    std::string path_;
    bool open_ = false;
};

}  // namespace korva
