#include "faxcourier/app/taken_documents.h"

#include "faxcourier/foundation/log.h"
#include "platform/file_ops.h"
#include "platform/spool_names.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace korva::app {
namespace {

// The numbers of "<n>.tif" and "<n>.dat" in the folder, ascending.
std::vector<unsigned long> numbersIn(const std::string& folder, bool printFilesOnly)
{
    std::vector<unsigned long> numbers;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            char* end = nullptr;
            const unsigned long n = std::strtoul(entry->d_name, &end, 10);
            const std::string rest = end;
            const bool digits = end != entry->d_name && entry->d_name[0] != '-' && entry->d_name[0] != '+';
            if (digits && (rest == ".tif" || (!printFilesOnly && rest == ".dat")))
                numbers.push_back(n);
        }
        closedir(dir);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

WaitingDocument documentAt(const std::string& folder, unsigned long n)
{
    const std::string base = folder + "/" + std::to_string(n);
    return {base + ".tif", base + ".dat"};
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of('/')); }

TakenFileDeleter takenFileDeleter = deleteFile;

}  // namespace

int takeDocument(const std::string& spoolFolder, const std::string& from, const ControlRecord& record,
                 WaitingDocument& taken)
{
    const std::string folder = takenFolder(spoolFolder);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    const std::vector<unsigned long> used = numbersIn(folder, false);
    taken = documentAt(folder, used.empty() ? 1 : used.back() + 1);
    if (auto written = writeFileAtomically(taken.recordFile, &record, sizeof record, 0600); !written)
        return written.code();
    if (auto moved = moveFileNoReplace(from, taken.printFile); !moved) {
        discardFile(taken.recordFile);
        return moved.code();
    }
    // Until both folders are on disk, a power loss could leave the document
    // under neither name. The move itself has happened: a failed sync is
    // only logged.
    for (const std::string& changed : {folder, folderOf(from)})
        if (auto synced = fsyncFolder(changed); !synced)
            LogAlways(1, "Cannot sync the folder %s - %d\n", changed.c_str(), synced.code());
    return 0;
}

std::vector<WaitingDocument> listTakenDocuments(const std::string& spoolFolder)
{
    const std::string folder = takenFolder(spoolFolder);
    std::vector<WaitingDocument> documents;
    for (unsigned long n : numbersIn(folder, true))
        documents.push_back(documentAt(folder, n));
    return documents;
}

TakenFileDeleter setTakenFileDeleter(TakenFileDeleter deleter) { return std::exchange(takenFileDeleter, deleter); }

Result<void> releaseTakenDocument(const WaitingDocument& taken)
{
    int error = 0;
    auto deleted = [&] {
        error = takenFileDeleter(taken.printFile).code();
        return error == 0 || error == ENOENT;
    };
    Result<void> released;
    if (!deleted() && !deleted()) {  // tried twice: a passing fault may clear
        LogAlways(1, "Cannot delete the faxed document %s - %d\n", taken.printFile.c_str(), error);
        // Not "<n>.tif" any more: no run lists it.
        released = moveFile(taken.printFile, taken.printFile + ".faxed");
        if (!released)
            LogAlways(1, "Cannot rename the faxed document %s aside - %d\n", taken.printFile.c_str(), released.code());
    }
    // Without its record a print file left behind is never faxed unseen.
    discardFile(taken.recordFile);
    if (auto synced = fsyncFolderOf(taken.printFile); !synced)
        LogAlways(1, "Cannot sync the folder of %s - %d\n", taken.printFile.c_str(), synced.code());
    return released;
}

}  // namespace korva::app
