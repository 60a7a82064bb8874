#include "faxcourier/pipeline/spool_watcher.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/pipeline/watch_file.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
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
    int notify = -1;     // inotify on the folder
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

constexpr uint32_t kWatchedChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                     IN_ATTRIB | IN_MODIFY | IN_CLOSE_WRITE | IN_ONLYDIR;
constexpr int kBusyRetryMs = 1000;
constexpr int kSettleMs = 100;

// Reads every pending event so that the next poll waits for new changes.
// False when the watch is gone (folder removed) or reading fails.
bool rearm(int notify)
{
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        ssize_t n = read(notify, buffer, sizeof buffer);
        if (n < 0)
            return errno == EAGAIN || errno == EINTR;
        for (ssize_t at = 0; at < n;) {
            auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_IGNORED)
                return false;
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

void watchLoop(SpoolWatcher::Shared& shared, int notify, WatchFileTime& remembered)
{
    int timeout = -1;
    for (;;) {
        pollfd handles[2] = {{notify, POLLIN, 0}, {shared.stopEvent, POLLIN, 0}};
        int woke = poll(handles, 2, timeout);
        if (woke < 0 && errno == EINTR)
            continue;
        bool finite = timeout >= 0;
        timeout = -1;
        if (woke < 0 || (handles[1].revents & POLLIN) ||
            (handles[0].revents & (POLLERR | POLLHUP | POLLNVAL)))
            return;
        bool changed = handles[0].revents & POLLIN;
        // Re-armed before the file is looked at, so that a change made while
        // we look wakes the next wait instead of being lost.
        if (changed && !rearm(notify)) {
            LogDebug("Spool folder no longer watched - %s\n", shared.folder.c_str());
            return;
        }
        if (shared.pipelineBusy->load()) {
            timeout = kBusyRetryMs;
        } else if (changed || finite) {
            if (sleepUnlessStopped(shared.stopEvent, kSettleMs))
                return;
            compareAndAnnounce(shared, remembered);
        }
        shared.wakeUps.fetch_add(1);
    }
}

void runWatcher(const std::shared_ptr<SpoolWatcher::Shared>& shared, WatchFileTime remembered)
{
    watchLoop(*shared, shared->notify, remembered);
    LogDebug("Stopped watching %s\n", shared->folder.c_str());
    std::lock_guard lock(shared->mutex);
    shared->ended = true;
    shared->endedChanged.notify_all();
}

}  // namespace

SpoolWatcher::SpoolWatcher(std::string spoolFolder, MessageTarget& mainWindow,
                           std::atomic<bool>& pipelineBusy)
    : shared_(std::make_shared<Shared>())
{
    shared_->folder = std::move(spoolFolder);
    shared_->watchFile = watchFilePath(shared_->folder);
    shared_->mainWindow = &mainWindow;
    shared_->pipelineBusy = &pipelineBusy;
}

SpoolWatcher::~SpoolWatcher()
{
    stop(5000);
}

bool SpoolWatcher::start()
{
    if (shared_->notify >= 0 || shared_->stopEvent >= 0)
        return false;
    shared_->notify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (shared_->notify < 0 ||
        inotify_add_watch(shared_->notify, shared_->folder.c_str(), kWatchedChanges) < 0) {
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
    bool ended = shared_->endedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                                [this] { return shared_->ended; });
    lock.unlock();
    if (ended)
        thread_.join();
    return ended;
}

unsigned SpoolWatcher::wakeUps() const
{
    return shared_->wakeUps.load();
}

}  // namespace korva
