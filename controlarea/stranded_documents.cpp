#include "controlarea/stranded_documents.h"

#include "controlarea/waiting_documents.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/spool_names.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <sys/stat.h>

namespace korva {
namespace {

bool processRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            names.emplace_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool isRegularFile(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Into unsent/ under its own name, or with a count before it when that is
// taken; never over another file.
void setAside(const std::string& from, const std::string& name, StrandedDocuments& result)
{
    int error = makeFolders(result.folder, 0700).code();
    std::string to = result.folder + "/" + name;
    for (int n = 1; error == 0; ++n) {
        error = moveFileNoReplace(from, to).code();
        if (error != EEXIST)
            break;
        to = result.folder + "/" + std::to_string(n) + "-" + name;
    }
    if (error == 0)
        result.files.push_back(to);
    else
        result.failed.push_back(from);
}

void sweep(const std::string& spoolFolder, StrandedDocuments& result)
{
    result.folder = unsentFolder(spoolFolder);
    for (const std::string& name : namesIn(spoolFolder)) {
        const pid_t printer = jobFileProcess(name);
        const std::string path = spoolFolder + "/" + name;
        if (printer > 0 && !processRuns(printer) && isRegularFile(path))
            setAside(path, name, result);
    }
    const std::string waiting = waitingFolder(spoolFolder);
    const std::vector<std::string> names = namesIn(waiting);
    auto has = [&](const std::string& name) { return std::binary_search(names.begin(), names.end(), name); };
    for (const WaitingDocument& kept : listWaitingDocuments(spoolFolder)) {
        const std::string name = kept.printFile.substr(waiting.size() + 1);
        if (!has(name.substr(0, name.size() - 4) + ".dat"))
            setAside(kept.printFile, "waiting-" + name, result);
    }
    for (const std::string& name : names) {
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".dat") != 0)
            continue;
        const std::string stem = name.substr(0, name.size() - 4);
        if (!stem.empty() && !has(stem + ".tif") && stem.find_first_not_of("0123456789") == std::string::npos &&
            deleteFile(waiting + "/" + name))
            result.lonelyRecords.push_back(waiting + "/" + name);
    }
    // Moved all the same when the sync fails; it only weakens what a power loss keeps.
    [[maybe_unused]] const bool synced = result.files.empty() || fsyncFolder(result.folder).ok();
}

}  // namespace

Result<StrandedDocuments> setAsideStrandedDocuments(const std::string& spoolFolder)
{
    StrandedDocuments result;
    auto locked = underHandOverLock(spoolFolder, [&] {
        sweep(spoolFolder, result);
        return Result<void>{};
    });
    if (!locked)
        return locked.error();
    return result;
}

std::string strandedNotice(const StrandedDocuments& documents)
{
    std::string text;
    if (!documents.files.empty())
        text = std::to_string(documents.files.size()) +
               " printed document(s) were never handed over to KORVA Fax and are kept in " + documents.folder +
               "; print them again to fax them.";
    for (const std::string& file : documents.failed)
        text += (text.empty() ? "" : " ") + file + " was never handed over to KORVA Fax and could not be set aside.";
    return text;
}

}  // namespace korva
