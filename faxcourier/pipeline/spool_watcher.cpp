#include "faxcourier/pipeline/spool_watcher.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/pipeline/spool_events.h"
#include "faxcourier/pipeline/watch_file.h"
#include "platform/paths.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <poll.h>
#include <system_error>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace korva {

struct SpoolWatcher::Shared {
    std::string folder;
    std::string watchFile;
    MessageTarget* mainWindow = nullptr;
    std::atomic<bool>* pipelineBusy = nullptr;
    std::function<void()> folderRemade;
    int notify = -1;  // inotify on the folder and its parent
    // The folder's watch, and its parent's, which sees the folder removed
    // even while a file in it is still open (the folder's own delete event
    // then waits for that file to be closed, and faxcourier holds its lock
    // files open). The thread's own once it runs.
    int watch = -1;
    int parentWatch = -1;
    int stopEvent = -1;  // eventfd; readable once set, never reset
    std::atomic<unsigned> wakeUps{0};

    std::mutex mutex;
    std::condition_variable endedChanged;
    bool ended = false;

    ~Shared()
    {
        if (notify >= 0)
            close(notify);
        if (stopEvent >= 0)
            close(stopEvent);
    }
};

namespace {

constexpr uint32_t kWatchedChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_MODIFY |
                                     IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr uint32_t kParentChanges = IN_DELETE | IN_MOVED_FROM | IN_ONLYDIR;
constexpr int kBusyRetryMs = 1000;
constexpr int kRemakeRetryMs = 1000;
constexpr int kSettleMs = 100;

// "/a/b/KORVAFax" -> "/a/b" and "KORVAFax".
std::pair<std::string, std::string> splitPath(const std::string& folder)
{
    size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos)
        return {".", folder};
    return {slash == 0 ? "/" : folder.substr(0, slash), folder.substr(slash + 1)};
}

// 0 or errno. Without the parent's watch only the folder's own events tell
// that it went.
int addWatches(SpoolWatcher::Shared& shared)
{
    shared.watch = inotify_add_watch(shared.notify, shared.folder.c_str(), kWatchedChanges);
    if (shared.watch < 0)
        return errno;
    shared.parentWatch = inotify_add_watch(shared.notify, splitPath(shared.folder).first.c_str(), kParentChanges);
    return 0;
}

void dropWatches(SpoolWatcher::Shared& shared)
{
    for (int* watch : {&shared.watch, &shared.parentWatch}) {
        if (*watch >= 0)
            inotify_rm_watch(shared.notify, *watch);
        *watch = -1;
    }
}

using Drained = SpoolChange;

// Reads every pending event so that the next poll waits for new changes;
// says what the worst of them was.
Drained rearm(const SpoolWatcher::Shared& shared)
{
    alignas(inotify_event) char buffer[4096];
    const SpoolWatches watches{shared.watch, shared.parentWatch, splitPath(shared.folder).second};
    Drained worst = Drained::nothing;
    for (;;) {
        ssize_t n = read(shared.notify, buffer, sizeof buffer);
        if (n < 0)
            return errno == EAGAIN || errno == EINTR ? worst : Drained::failed;
        for (ssize_t at = 0; at < n;) {
            auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            worst = std::max(worst, classifySpoolEvent(watches, *event));
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
}

// Sleeps `ms`, or less when the stop event is set; true when it was set.
bool sleepUnlessStopped(int stopEvent, int ms)
{
    pollfd stop{stopEvent, POLLIN, 0};
    return poll(&stop, 1, ms) > 0;
}

// The exit library makes the folder again at its next document; without a
// watch on the new one that document would wait unseen. So make it now and
// watch it, trying again every second while that fails. False when stopped
// meanwhile.
bool watchRemadeFolder(SpoolWatcher::Shared& shared)
{
    LogAlways(0, "The spool folder %s has gone; making it again\n", shared.folder.c_str());
    dropWatches(shared);  // a moved folder would still be watched
    for (bool reported = false;; reported = true) {
        int error = makeFolders(shared.folder, 0700).code();
        if (error == 0)
            error = addWatches(shared);
        if (error == 0)
            break;
        if (!reported)
            LogAlways(0, "Unable to make the spool folder %s again (error %d); trying every second\n",
                      shared.folder.c_str(), error);
        if (sleepUnlessStopped(shared.stopEvent, kRemakeRetryMs))
            return false;
    }
    LogAlways(0, "Watching the spool folder %s again\n", shared.folder.c_str());
    if (shared.folderRemade)
        shared.folderRemade();
    return true;
}

void compareAndAnnounce(SpoolWatcher::Shared& shared, WatchFileTime& remembered)
{
    WatchFileTime fresh;
    if (getWatchFileTime(shared.watchFile, fresh) && fresh != remembered) {
        shared.pipelineBusy->store(true);
        LogDebug("Watch file changed - %s\n", shared.watchFile.c_str());
        shared.mainWindow->postMessage(kDocumentWaiting, 0);
    }
    remembered = fresh;
}

// Events were dropped, a document's among them perhaps: the main window
// looks at everything that waits, whatever the watch file's stamp says.
void announceRescan(SpoolWatcher::Shared& shared, WatchFileTime& remembered)
{
    LogAlways(0, "Spool folder changes were lost (the event queue overflowed); looking at %s again\n",
              shared.folder.c_str());
    WatchFileTime fresh;
    getWatchFileTime(shared.watchFile, fresh);
    remembered = fresh;
    shared.pipelineBusy->store(true);
    shared.mainWindow->postMessage(kDocumentWaiting, 0);
}

void watchLoop(SpoolWatcher::Shared& shared, WatchFileTime& remembered)
{
    int timeout = -1;
    bool rescan = false;  // kept while the pipeline is busy
    for (;;) {
        pollfd handles[2] = {{shared.notify, POLLIN, 0}, {shared.stopEvent, POLLIN, 0}};
        int woke = poll(handles, 2, timeout);
        if (woke < 0 && errno == EINTR)
            continue;
        bool finite = timeout >= 0;
        timeout = -1;
        if (woke < 0 || (handles[1].revents & POLLIN) || (handles[0].revents & (POLLERR | POLLHUP | POLLNVAL)))
            return;
        bool changed = false;
        // Re-armed before the file is looked at, so that a change made while
        // we look wakes the next wait instead of being lost. A watch file
        // that reached the new folder before its watch did is found by the
        // look that follows.
        if (handles[0].revents & POLLIN) {
            Drained drained = rearm(shared);
            if (drained == Drained::failed) {
                LogAlways(0, "Spool folder no longer watched - %s (error %d)\n", shared.folder.c_str(), errno);
                return;
            }
            if (drained == Drained::folderGone && !watchRemadeFolder(shared))
                return;
            rescan = rescan || drained == Drained::rescan;
            changed = drained != Drained::nothing;
            if (!changed && !finite && !shared.pipelineBusy->load())
                continue;  // only the folder's neighbours changed
        }
        if (shared.pipelineBusy->load()) {
            timeout = kBusyRetryMs;
        } else if (changed || finite) {
            if (sleepUnlessStopped(shared.stopEvent, kSettleMs))
                return;
            if (rescan)
                announceRescan(shared, remembered);
            else
                compareAndAnnounce(shared, remembered);
            rescan = false;
        }
        shared.wakeUps.fetch_add(1);
    }
}

void runWatcher(const std::shared_ptr<SpoolWatcher::Shared>& shared, WatchFileTime remembered)
{
    watchLoop(*shared, remembered);
    LogDebug("Stopped watching %s\n", shared->folder.c_str());
    std::lock_guard lock(shared->mutex);
    shared->ended = true;
    shared->endedChanged.notify_all();
}

}  // namespace

SpoolWatcher::SpoolWatcher(std::string spoolFolder, MessageTarget& mainWindow, std::atomic<bool>& pipelineBusy)
    : shared_(std::make_shared<Shared>())
{
    shared_->folder = std::move(spoolFolder);
    shared_->watchFile = watchFilePath(shared_->folder);
    shared_->mainWindow = &mainWindow;
    shared_->pipelineBusy = &pipelineBusy;
}

SpoolWatcher::~SpoolWatcher() { stop(5000); }

bool SpoolWatcher::start()
{
    if (shared_->notify >= 0 || shared_->stopEvent >= 0)
        return false;
    shared_->notify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (shared_->notify < 0 || addWatches(*shared_) != 0) {
        LogDebug("Cannot watch %s - %d\n", shared_->folder.c_str(), errno);
        return false;
    }
    // A watch file present now is taken as known: it is announced only once
    // it changes. Read after the watch is armed, so no arrival slips between.
    WatchFileTime remembered;
    getWatchFileTime(shared_->watchFile, remembered);
    shared_->stopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (shared_->stopEvent < 0)
        return false;
    try {
        // The thread keeps its own reference, so a thread that outlives a
        // timed-out stop still finds its state.
        thread_ = std::thread(runWatcher, shared_, remembered);
    } catch (const std::system_error&) {
        return false;
    }
    LogDebug("Watching %s\n", shared_->folder.c_str());
    return true;
}

void SpoolWatcher::onFolderRemade(std::function<void()> handler) { shared_->folderRemade = std::move(handler); }

bool SpoolWatcher::stop(int timeoutMs)
{
    if (shared_->stopEvent >= 0) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(shared_->stopEvent, &one, sizeof one);
    }
    if (waitForEnd(timeoutMs))
        return true;
    thread_.detach();
    return false;
}

bool SpoolWatcher::waitForEnd(int timeoutMs)
{
    if (!thread_.joinable())
        return true;
    std::unique_lock lock(shared_->mutex);
    bool ended =
        shared_->endedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return shared_->ended; });
    lock.unlock();
    if (ended)
        thread_.join();
    return ended;
}

unsigned SpoolWatcher::wakeUps() const { return shared_->wakeUps.load(); }

}  // namespace korva
