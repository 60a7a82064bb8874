#include "faxcourier/app/leftover_documents.h"

#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/spool_names.h"
#include "platform/translation.h"

#include <algorithm>
#include <ctime>
#include <dirent.h>

namespace korva::app {
namespace {

std::vector<std::string> numberedFiles(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (isWorkFileName(entry->d_name))
                names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string timeStamp()
{
    char text[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

}  // namespace

SetAsideDocuments setAsideLeftoverDocuments(const std::string& spoolFolder)
{
    SetAsideDocuments result;
    std::vector<std::string> names = numberedFiles(spoolFolder);
    if (names.empty())
        return result;
    // A run that had taken/ kept its print files there until they were
    // faxed: the numbered files are converted copies, made again from there.
    // Only an older run's numbered files can be print files.
    if (fileExists(takenFolder(spoolFolder))) {
        for (const std::string& name : names)
            discardFile(spoolFolder + "/" + name);
        return result;
    }
    result.folder = unsentFolder(spoolFolder);
    bool folderMade = makeFolders(result.folder, 0700).ok();
    std::string stamp = timeStamp();
    for (const std::string& name : names) {
        std::string from = spoolFolder + "/" + name;
        std::string to = result.folder + "/" + stamp + "-" + name;
        // Never over an earlier set-aside file of the same second.
        for (int n = 1; fileExists(to); ++n)
            to = result.folder + "/" + stamp + "." + std::to_string(n) + "-" + name;
        if (folderMade && moveFile(from, to))
            result.files.push_back(to);
        else
            result.failed.push_back(from);
    }
    return result;
}

std::string untranslated(const char*, const char* text) { return text; }

std::string leftoverNotice(const SetAsideDocuments& documents, Translate translated)
{
    if (documents.files.empty() && documents.failed.empty())
        return {};
    std::string text = translated("LeftoverDocuments", "KORVA Fax stopped before it had faxed every printed document.");
    if (!documents.files.empty())
        text += " " + withArguments(translated("LeftoverDocuments",
                                               "%1 file(s) of that run are kept in %2; print them again to fax them."),
                                    {std::to_string(documents.files.size()), documents.folder});
    for (const std::string& file : documents.failed)
        text += " " + withArguments(translated("LeftoverDocuments",
                                               "%1 could not be set aside and may be replaced by the next print."),
                                    {file});
    return text;
}

}  // namespace korva::app
