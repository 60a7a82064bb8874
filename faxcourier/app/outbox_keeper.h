#pragma once
// The outbox in the running program: takes the jobs the arrival could not
// send, retries the waiting ones with back-off while the program runs, and
// offers the ones without recipients in the Send Fax dialog once there is a
// display. No timer runs while nothing waits.

#include "faxcourier/net/fax_submission.h"
#include "faxcourier/outbox/outbox.h"
#include "faxcourier/outbox/outbox_retry.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <string>

namespace korva::app {

class OutboxKeeper : public QObject {
public:
    OutboxKeeper(const std::string& spoolFolder, Submitter submit);

    // Stores the unsent job: for the dialog when it has no recipients or
    // `forDialog` (the user had it in the dialog: only they send it),
    // otherwise to be retried, or kept as refused when retrying cannot help.
    [[nodiscard]] bool keep(FaxJob& job, const SubmitReport& lastAttempt, bool forDialog = false);

    // Puts in place every entry left half-built, whatever pid its name
    // holds: only for the program that holds the running mark, at its start.
    void recoverAtStart();

    // Runs the entries that are due, then waits for the next one.
    void retryDue();
    // Shows each job kept for the dialog in turn with `showDialog` (its
    // result: 1 sent). A job sent or cancelled leaves the outbox; the rest
    // stay when the program ends meanwhile.
    void offerKeptForDialog(const std::function<int(FaxJob&)>& showDialog, const std::function<bool()>& quitting);

    bool timerRunning() const { return timer_.isActive(); }
    // Told how many faxes the outbox holds whenever that may have changed.
    void onCountChanged(std::function<void(size_t)> tell);

private:
    void scheduleNext();
    void countChanged();

    Outbox outbox_;
    Submitter submit_;
    QTimer timer_;
    std::function<void(size_t)> tellCount_;
};

}  // namespace korva::app
