#include "controlarea/waiting_documents.h"

#include "platform/file_ops.h"
#include "platform/process_mutex.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korva {
namespace {

// Numbers of equal width sort as text; an empty queue starts in the middle,
// so a document given back to the front always finds a smaller number.
constexpr unsigned long long kFirstSequence = 500000000000000000ULL;
constexpr int kSequenceDigits = 19;
constexpr unsigned long long kLastSequence = 9999999999999999999ULL;

std::string sequenceName(unsigned long long sequence)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*llu", kSequenceDigits, sequence);
    return text;
}

bool parseSequence(const char* name, const char* extension, unsigned long long& sequence)
{
    const size_t length = std::strlen(name);
    const size_t extensionLength = std::strlen(extension);
    if (length != kSequenceDigits + extensionLength || std::strcmp(name + kSequenceDigits, extension) != 0)
        return false;
    sequence = 0;
    for (int i = 0; i < kSequenceDigits; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return false;
        sequence = sequence * 10 + static_cast<unsigned>(name[i] - '0');
    }
    return true;
}

std::vector<unsigned long long> sequencesWith(const std::string& folder, const char* extension)
{
    std::vector<unsigned long long> sequences;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return sequences;
    while (dirent* entry = readdir(dir)) {
        unsigned long long sequence = 0;
        if (parseSequence(entry->d_name, extension, sequence))
            sequences.push_back(sequence);
    }
    closedir(dir);
    std::sort(sequences.begin(), sequences.end());
    return sequences;
}

WaitingDocument documentAt(const std::string& folder, unsigned long long sequence)
{
    const std::string base = folder + "/" + sequenceName(sequence);
    return {base + ".tif", base + ".dat"};
}

int makeFolder(const std::string& folder)
{
    if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST)
        return 0;
    return errno;
}

}  // namespace

std::vector<WaitingDocument> listWaitingDocuments(const std::string& spoolFolder)
{
    const std::string folder = waitingFolder(spoolFolder);
    std::vector<WaitingDocument> documents;
    for (unsigned long long sequence : sequencesWith(folder, ".tif"))
        documents.push_back(documentAt(folder, sequence));
    return documents;
}

std::optional<WaitingDocument> oldestWaitingDocument(const std::string& spoolFolder)
{
    std::vector<WaitingDocument> documents = listWaitingDocuments(spoolFolder);
    if (documents.empty())
        return std::nullopt;
    return documents.front();
}

bool watchFileWaiting(const std::string& spoolFolder)
{
    struct stat info {};
    return ::lstat(watchFilePath(spoolFolder).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool documentsWaiting(const std::string& spoolFolder)
{
    return watchFileWaiting(spoolFolder) || !listWaitingDocuments(spoolFolder).empty();
}

int keepWaitingDocument(const std::string& spoolFolder, const std::string& printFile, const ControlRecord& record,
                        bool front)
{
    const std::string folder = waitingFolder(spoolFolder);
    if (int error = makeFolder(folder))
        return error;
    // Records count too: a record whose print file is still on its way keeps
    // its number.
    std::vector<unsigned long long> used = sequencesWith(folder, ".tif");
    std::vector<unsigned long long> records = sequencesWith(folder, ".dat");
    used.insert(used.end(), records.begin(), records.end());
    std::sort(used.begin(), used.end());
    unsigned long long sequence = kFirstSequence;
    if (!used.empty()) {
        // A number past either end would get a name the listing never shows.
        if (front ? used.front() == 0 : used.back() >= kLastSequence)
            return EOVERFLOW;
        sequence = front ? used.front() - 1 : used.back() + 1;
    }
    const WaitingDocument document = documentAt(folder, sequence);
    if (fileExists(document.recordFile))
        return EEXIST;
    if (auto written = writeFileAtomically(document.recordFile, &record, sizeof record, 0600); !written)
        return written.code();
    if (auto moved = moveFileNoReplace(printFile, document.printFile); !moved) {
        discardFile(document.recordFile);
        return moved.code();
    }
    // Both names on disk before the printer is told it is done. A failed
    // sync is not reported: the document is queued and will be faxed, and
    // a "not faxed" would have it printed twice.
    [[maybe_unused]] auto synced = fsyncFolder(folder);
    return 0;
}

int underHandOverLock(const std::string& spoolFolder, const std::function<int()>& work)
{
    ProcessMutex handOver;
    if (int error = handOver.open(handOverLockPath(spoolFolder)))
        return error;
    ProcessMutexLock lock(handOver);
    if (!lock.owned())
        return ENOLCK;
    return work();
}

int putBackWaitingDocument(const std::string& spoolFolder, const std::string& printFile, const ControlRecord& record)
{
    return underHandOverLock(spoolFolder,
                             [&] { return keepWaitingDocument(spoolFolder, printFile, record, /*front=*/true); });
}

bool readWaitingRecord(const WaitingDocument& document, ControlRecord& record)
{
    record = ControlRecord{};
    int fd = ::open(document.recordFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info {};
    bool whole = false;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size == sizeof record)
        whole = ::read(fd, &record, sizeof record) == static_cast<ssize_t>(sizeof record);
    ::close(fd);
    if (!whole)
        record = ControlRecord{};
    return whole;
}

void forgetWaitingRecord(const WaitingDocument& document) { discardFile(document.recordFile); }

}  // namespace korva
