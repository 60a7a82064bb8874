#include "platform/spool_names.h"

#include <cctype>
#include <cstdio>

namespace korva {
namespace {

constexpr const char* kPrefix = "korvafax";
constexpr const char* kTiff = ".tif";

bool endsWith(const std::string& name, const std::string& end)
{
    return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string controlFilePath(const std::string& spoolFolder) { return spoolFolder + "/control.dat"; }

std::string controlLockPath(const std::string& spoolFolder) { return spoolFolder + "/control.lock"; }

std::string watchFilePath(const std::string& spoolFolder) { return spoolFolder + "/" + kPrefix + kTiff; }

std::string jobFilePath(const std::string& spoolFolder, const std::string& userName, unsigned long tick, pid_t pid,
                        unsigned jobNumber)
{
    char unique[64];
    std::snprintf(unique, sizeof unique, "%08lx_%ld_%u", tick, static_cast<long>(pid), jobNumber);
    return spoolFolder + "/" + kPrefix + "_" + userName + "_" + unique + kTiff;
}

bool isJobFileName(const std::string& name)
{
    const std::string start = std::string(kPrefix) + "_";
    return name.rfind(start, 0) == 0 && name.size() > start.size() + 4 && endsWith(name, kTiff);
}

pid_t jobFileProcess(const std::string& name)
{
    if (!isJobFileName(name))
        return -1;
    // "..._<tick>_<pid>_<n>.tif": the user name may hold "_" itself, so
    // count from the end.
    const std::string stem = name.substr(0, name.size() - 4);
    const size_t countAt = stem.find_last_of('_');
    if (countAt == std::string::npos || countAt == 0)
        return -1;
    const size_t pidAt = stem.find_last_of('_', countAt - 1);
    if (pidAt == std::string::npos || pidAt + 1 == countAt)
        return -1;
    long pid = 0;
    for (size_t i = pidAt + 1; i < countAt; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(stem[i])) || pid > 99999999)
            return -1;
        pid = pid * 10 + (stem[i] - '0');
    }
    return pid > 0 ? static_cast<pid_t>(pid) : -1;
}

std::string workFilePath(const std::string& spoolFolder, int number)
{
    return spoolFolder + "/" + kPrefix + std::to_string(number) + kTiff;
}

bool isWorkFileName(const std::string& name)
{
    const std::string start = kPrefix;
    if (name.rfind(start, 0) != 0 || !endsWith(name, kTiff))
        return false;
    const std::string digits = name.substr(start.size(), name.size() - start.size() - 4);
    if (digits.empty())
        return false;
    for (unsigned char c : digits)
        if (!std::isdigit(c))
            return false;
    return true;
}

std::string courierPresencePath(const std::string& spoolFolder) { return spoolFolder + "/" + kPrefix + ".running"; }

std::string handOverLockPath(const std::string& spoolFolder) { return spoolFolder + "/handover.lock"; }

std::string waitingFolder(const std::string& spoolFolder) { return spoolFolder + "/waiting"; }

std::string unsentFolder(const std::string& spoolFolder) { return spoolFolder + "/unsent"; }

std::string takenFolder(const std::string& spoolFolder) { return spoolFolder + "/taken"; }

std::string outboxFolder(const std::string& spoolFolder) { return spoolFolder + "/outbox"; }

}  // namespace korva
