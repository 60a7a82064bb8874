#pragma once
// The spool watcher: a thread that waits for changes in the spool folder and
// announces each new watch file to the main window with kDocumentWaiting.

#include "faxcourier/pipeline/messages.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace korva {

class SpoolWatcher {
public:
    // `mainWindow` and `pipelineBusy` must outlive the thread.
    SpoolWatcher(std::string spoolFolder, MessageTarget& mainWindow, std::atomic<bool>& pipelineBusy);
    ~SpoolWatcher();  // stop(5000)
    SpoolWatcher(const SpoolWatcher&) = delete;
    SpoolWatcher& operator=(const SpoolWatcher&) = delete;

    // Arms the change notification on the folder, takes the stamp of a
    // watch file already there as known, creates the stop event and starts
    // the thread. False (and no thread) when any of these fails, e.g. when
    // the folder is missing.
    bool start();

    // When the folder disappears while watched, the thread logs it, makes
    // it again (0700), watches the new one and then calls `handler` on its
    // own thread, so that whatever else lives in the folder can be set up
    // again. Set before start().
    void onFolderRemade(std::function<void()> handler);

    // Sets the stop event and waits up to `timeoutMs` for the thread to end.
    // True when it has ended; otherwise it is left to end by itself.
    bool stop(int timeoutMs = 5000);

    // Waits up to `timeoutMs` for the thread to end without asking it to.
    bool waitForEnd(int timeoutMs);

    // Wake-ups the thread has dealt with so far (a change looked at, or put
    // off while the pipeline is busy); lets a caller know that a change has
    // been seen.
    unsigned wakeUps() const;

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace korva
