#pragma once
// The outbox in the running program: takes the jobs the arrival could not
// send, retries the waiting ones with back-off while the program runs, and
// offers the ones without recipients in the Send Fax dialog once there is a
// display. No timer runs while nothing waits. A retry runs on a thread of its
// own, since a silent server can hold it for minutes; its result comes back
// to the main thread.

#include "faxcourier/net/fax_submission.h"
#include "faxcourier/outbox/outbox.h"
#include "faxcourier/outbox/outbox_retry.h"
#include "faxcourier/outbox/sent_journal.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace korva::app {

class OutboxKeeper : public QObject {
public:
    OutboxKeeper(const std::string& spoolFolder, Submitter submit);
    // Ends a running retry's server conversation (and every other: only the
    // program's end drops the keeper) and waits for it.
    ~OutboxKeeper() override;
    OutboxKeeper(const OutboxKeeper&) = delete;
    OutboxKeeper& operator=(const OutboxKeeper&) = delete;

    // Gives each retry run its own submitter, made on the main thread (a
    // snapshot of the settings the user may change meanwhile).
    void setRunSubmitter(std::function<Submitter()> forRun) { forRun_ = std::move(forRun); }

    // Stores the unsent job and tells the desktop: for the dialog when it has no recipients or
    // `forDialog` (the user had it in the dialog: only they send it),
    // otherwise to be retried, or kept as refused when retrying cannot help.
    [[nodiscard]] bool keep(FaxJob& job, const SubmitReport& lastAttempt, bool forDialog = false);

    // One notification at start, when faxes wait: how many and why.
    void noticeWaitingAtStart();

    // For tests: the time in seconds since the epoch.
    void setClock(std::function<int64_t()> now) { now_ = std::move(now); }

    // Puts in place every entry left half-built, whatever pid its name
    // holds: only for the program that holds the running mark, at its start.
    void recoverAtStart();

    // Starts a run of the entries that are due, unless one runs; when it
    // ends, waits for the next one.
    void retryDue();
    // Shows each job kept for the dialog in turn with `showDialog` (its
    // result: 1 sent). A job sent or cancelled leaves the outbox; the rest
    // stay when the program ends meanwhile.
    void offerKeptForDialog(const std::function<int(FaxJob&)>& showDialog, const std::function<bool()>& quitting);

    // Sends the entry `id` now (a refused one too), on the retry thread
    // after the run that may be going.
    void retryNow(const std::string& id);
    bool running() const { return run_.joinable(); }

    // For the Outbox window.
    const std::string& folder() const { return outbox_.folder(); }
    [[nodiscard]] std::vector<OutboxEntry> list() const { return outbox_.list(); }
    [[nodiscard]] bool load(const std::string& id, OutboxEntry& entry) const { return outbox_.load(id, entry).ok(); }
    [[nodiscard]] bool drop(const std::string& id);
    // Offers the entry in the Send Fax dialog with `showDialog` (its result:
    // 1 sent), held out of the retries meanwhile: sent it leaves the outbox,
    // cancelled it stays as it was. Ended by `quitting`, it keeps the texts
    // the dialog left in the job, and waits for the dialog without recipients.
    // Busy while a retry runs.
    [[nodiscard]] HoldResult offerInDialog(const std::string& id, const std::function<int(FaxJob&)>& showDialog,
                                           const std::function<bool()>& quitting);
    SentJournal& journal() { return journal_; }

    bool timerRunning() const { return timer_.isActive(); }
    // Told how many faxes the outbox holds whenever that may have changed.
    void onCountChanged(std::function<void(size_t)> tell);
    // Told whenever the entries or the journal may have changed.
    void onChanged(std::function<void()> tell) { tellChanged_ = std::move(tell); }

private:
    using RunFn = std::function<RetryRun(Outbox&, const Submitter&, int64_t now)>;
    void startRun(RunFn run);
    void scheduleNext();
    void countChanged();
    void runEnded();
    void noteSent(const RetryRun& run);

    Outbox outbox_;
    Submitter submit_;
    std::function<Submitter()> forRun_;
    std::function<int64_t()> now_;
    QTimer timer_;
    std::thread run_;
    // The run's result is handed over under the mutex; the eventfd only
    // wakes the main loop (no Qt object crosses the threads).
    std::mutex resultMutex_;
    std::optional<RetryRun> result_;
    int runEndedFd_ = -1;
    std::unique_ptr<QSocketNotifier> runEndedNotifier_;
    std::function<void(size_t)> tellCount_;
    std::function<void()> tellChanged_;
    std::vector<std::string> wanted_;  // asked for by retryNow() while a run went on
    SentJournal journal_{SentJournal::defaultPath()};
};

}  // namespace korva::app
