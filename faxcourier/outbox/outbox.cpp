#include "faxcourier/outbox/outbox.h"

#include "faxcourier/outbox/job_text.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/spool_names.h"
#include "platform/translation.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace korva {
namespace {

constexpr int64_t kFirstDelay = 30;
constexpr int64_t kLongestDelay = 15 * 60;

// Names come from the command line too: nothing that leaves the folder.
bool validId(const std::string& id)
{
    if (id.empty() || id.size() > 64)
        return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
    });
}

// UTC so that the order survives clock-change nights; the pid and a
// counter keep ids of one second apart.
std::string newId(int64_t now)
{
    static std::atomic<unsigned> counter{0};
    std::time_t seconds = std::time_t(now);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    char id[64];
    std::snprintf(id, sizeof id, "%s-%d-%04u", stamp, int(getpid()), ++counter % 10000);
    return id;
}

std::string oneLine(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += char(c);
        }
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

bool readFile(const std::string& path, std::string& content)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    content = bytes.str();
    return !in.bad();
}

// The renames have happened either way; a failed sync only weakens what a
// power loss leaves, which the recovery at start copes with.
void syncFolder(const std::string& path) { [[maybe_unused]] auto synced = fsyncFolder(path); }

// The pid inside an id ("<date>-<time>-<pid>-<n>"); 0 when there is none.
pid_t creatorOf(const std::string& id)
{
    size_t end = id.rfind('-');
    size_t start = end == std::string::npos || end == 0 ? std::string::npos : id.rfind('-', end - 1);
    if (start == std::string::npos)
        return 0;
    try {
        return pid_t(std::stol(id.substr(start + 1, end - start - 1)));
    } catch (...) {
        return 0;
    }
}

bool processGone(pid_t pid) { return pid > 0 && pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH; }

// ".<id><suffix>" gives the id; empty for any other name.
std::string hiddenId(const std::string& name, const std::string& suffix)
{
    if (name.size() <= suffix.size() + 1 || name[0] != '.' ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return {};
    std::string id = name.substr(1, name.size() - suffix.size() - 1);
    return validId(id) ? id : std::string();
}

bool isFolder(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

const char* outboxStateName(OutboxState state)
{
    switch (state) {
        // Also the words outboxStateWords() shows.
        case OutboxState::Waiting:
            return QT_TRANSLATE_NOOP("OutboxText", "waiting");
        case OutboxState::Refused:
            return QT_TRANSLATE_NOOP("OutboxText", "refused");
        case OutboxState::NeedsDialog:
            return "needs-dialog";
    }
    return "?";
}

std::chrono::seconds retryDelay(int attempts)
{
    if (attempts <= 0)
        return std::chrono::seconds(0);
    int64_t delay = kFirstDelay;
    for (int n = 1; n < attempts && delay < kLongestDelay; ++n)
        delay *= 2;
    return std::chrono::seconds(std::min(delay, kLongestDelay));
}

Outbox::Outbox(std::string spoolFolder) : folder_(outboxFolder(spoolFolder)) {}

std::string Outbox::entryFolder(const std::string& id) const { return folder_ + "/" + id; }

Result<std::string> Outbox::add(FaxJob& job, OutboxState state, const std::string& reason, int64_t now)
{
    auto fail = [&](int err) -> Result<std::string> {
        return Error::fromErrno(err, "cannot put the fax in " + folder_);
    };
    if (Result<void> made = makeFolders(folder_, 0700); !made)
        return fail(made.code());

    std::string id, temp;
    for (int tries = 0;; ++tries) {
        if (tries > 100)
            return fail(EEXIST);
        id = newId(now);
        temp = folder_ + "/." + id + ".tmp";
        if (isFolder(entryFolder(id)))
            continue;
        if (mkdir(temp.c_str(), 0700) == 0)
            break;
        if (errno != EEXIST)
            return fail(errno);
    }

    OutboxEntry entry;
    entry.id = id;
    entry.job = job;
    entry.state = state;
    entry.reason = oneLine(reason);
    entry.attempts = state == OutboxState::NeedsDialog ? 0 : 1;
    entry.nextTry = state == OutboxState::Waiting ? now + retryDelay(1).count() : 0;
    entry.created = now;

    for (size_t i = 0; i < job.documents.size(); ++i)
        entry.job.documents[i].file = (entryFolder(id) + "/doc" + std::to_string(i + 1) + ".tif").c_str();

    // Undoes the moves so the job's files are where they were. A file that
    // cannot go back stays in the hidden entry, which the next start puts in
    // place: nothing is deleted to clean up.
    std::vector<std::pair<std::string, std::string>> moved;
    auto undo = [&](int err) -> Result<std::string> {
        bool allBack = true;
        for (size_t i = 0; i < moved.size(); ++i) {
            if (!moveFile(moved[i].second, moved[i].first)) {
                job.documents[i].file = moved[i].second.c_str();
                allBack = false;
            }
        }
        if (allBack) {
            std::error_code ignored;
            std::filesystem::remove_all(temp, ignored);
        }
        return fail(err);
    };
    // job.txt first, so that from the first document moved on a crash leaves
    // an entry that can be put in place.
    std::string text = formatJobText(entry);
    if (auto written = writeFileAtomically(temp + "/job.txt", text.data(), text.size(), 0600); !written)
        return undo(written.code());
    syncFolder(temp);
    if (addStep_)
        addStep_("job.txt");
    for (size_t i = 0; i < job.documents.size(); ++i) {
        std::string from = job.documents[i].file.Text();
        std::string name = "doc" + std::to_string(i + 1) + ".tif";
        if (auto movedIn = moveFile(from, temp + "/" + name); !movedIn)
            return undo(movedIn.code());
        moved.emplace_back(from, temp + "/" + name);
        chmod((temp + "/" + name).c_str(), 0600);
        if (addStep_)
            addStep_(name);
    }
    syncFolder(temp);
    if (auto listed = moveFile(temp, entryFolder(id)); !listed)
        return undo(listed.code());
    syncFolder(folder_);
    if (addStep_)
        addStep_("entry");
    job.documents = entry.job.documents;
    return id;
}

std::vector<OutboxEntry> Outbox::list() const
{
    std::vector<std::string> ids;
    if (DIR* dir = opendir(folder_.c_str())) {
        while (dirent* item = readdir(dir))
            if (validId(item->d_name))  // skips ".<id>.tmp" and the lock file
                ids.emplace_back(item->d_name);
        closedir(dir);
    }
    std::sort(ids.begin(), ids.end());
    std::vector<OutboxEntry> entries;
    for (const std::string& id : ids) {
        OutboxEntry entry;
        if (load(id, entry))
            entries.push_back(std::move(entry));
    }
    return entries;
}

Result<void> Outbox::load(const std::string& id, OutboxEntry& entry) const
{
    if (!validId(id))
        return Error::withText("no outbox entry can be named " + id, EINVAL);
    std::string text;
    if (!readFile(entryFolder(id) + "/job.txt", text))
        return Error::fromErrno(errno ? errno : EIO, "cannot read " + entryFolder(id) + "/job.txt");
    OutboxEntry loaded;
    loaded.id = id;
    if (!parseJobText(text, entryFolder(id), loaded))
        return Error::withText(entryFolder(id) + "/job.txt holds no fax job", EINVAL);
    entry = std::move(loaded);
    return {};
}

Result<void> Outbox::drop(const std::string& id)
{
    if (!validId(id))
        return Error::withText("no outbox entry can be named " + id, EINVAL);
    // Hidden first, so a crash halfway never leaves a listed entry without
    // its documents.
    std::string hidden = folder_ + "/." + id + ".drop";
    if (Result<void> hiddenAway = moveFile(entryFolder(id), hidden); !hiddenAway)
        return hiddenAway;
    // What stays is no entry any more: the next start removes it.
    std::error_code ec;
    std::filesystem::remove_all(hidden, ec);
    return {};
}

Result<void> Outbox::save(const OutboxEntry& entry) const
{
    std::string text = formatJobText(entry);
    return writeFileAtomically(entryFolder(entry.id) + "/job.txt", text.data(), text.size(), 0600);
}

Result<void> Outbox::recordFailure(const std::string& id, bool permanent, const std::string& reason, int64_t now)
{
    OutboxEntry entry;
    if (Result<void> loaded = load(id, entry); !loaded)
        return loaded;
    ++entry.attempts;
    entry.reason = oneLine(reason);
    entry.state = permanent ? OutboxState::Refused : OutboxState::Waiting;
    entry.nextTry = permanent ? 0 : now + retryDelay(entry.attempts).count();
    return save(entry);
}

Result<void> Outbox::update(const OutboxEntry& entry)
{
    OutboxEntry stored;
    if (Result<void> loaded = load(entry.id, stored); !loaded)
        return loaded;
    return save(entry);
}

std::optional<int64_t> Outbox::nextDue() const
{
    std::optional<int64_t> due;
    for (const OutboxEntry& entry : list())
        if (entry.state == OutboxState::Waiting && (!due || entry.nextTry < *due))
            due = entry.nextTry;
    return due;
}

size_t Outbox::halfBuilt() const
{
    size_t count = 0;
    if (DIR* dir = opendir(folder_.c_str())) {
        while (dirent* item = readdir(dir))
            if (std::string id = hiddenId(item->d_name, ".tmp");
                !id.empty() && fileExists(folder_ + "/" + item->d_name + "/job.txt"))
                ++count;
        closedir(dir);
    }
    return count;
}

int Outbox::recoverInterrupted(Recovery which)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder_.c_str())) {
        while (dirent* item = readdir(dir))
            names.emplace_back(item->d_name);
        closedir(dir);
    }
    int recovered = 0;
    for (const std::string& name : names) {
        std::string path = folder_ + "/" + name;
        if (std::string id = hiddenId(name, ".drop"); !id.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
            continue;
        }
        std::string id = hiddenId(name, ".tmp");
        if (id.empty() || isFolder(entryFolder(id)) ||
            (which == Recovery::EndedCreators && !processGone(creatorOf(id))))
            continue;
        std::string text;
        OutboxEntry entry;
        if (readFile(path + "/job.txt", text) && parseJobText(text, entryFolder(id), entry) &&
            moveFile(path, entryFolder(id)))
            ++recovered;
    }
    if (recovered)
        syncFolder(folder_);
    return recovered;
}

}  // namespace korva
