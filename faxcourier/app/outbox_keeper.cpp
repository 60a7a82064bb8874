#include "faxcourier/app/outbox_keeper.h"

#include "faxcourier/app/desktop_notice.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/net/conversation_abort.h"
#include "faxcourier/outbox/fax_notice_text.h"
#include "platform/windows1252.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sys/eventfd.h>
#include <unistd.h>

namespace korva::app {
namespace {

const char* const noRecipientsReason = "no recipients: waits for the Send Fax dialog";

int64_t systemTime() { return static_cast<int64_t>(std::time(nullptr)); }

// The program ended with the entry open in the dialog: the texts the user
// left there are their last word; the documents stay the entry's.
void takeDialogTexts(OutboxEntry& entry, const FaxJob& edited)
{
    entry.job.subject = edited.subject;
    entry.job.comments = edited.comments;
    entry.job.coverPage = edited.coverPage;
    entry.job.recipients = edited.recipients;
    if (!entry.job.recipients.empty())
        return;
    entry.state = OutboxState::NeedsDialog;
    entry.nextTry = 0;
    entry.reason = noRecipientsReason;
}

void logLine(const std::string& message) { LogAlways(0, "%s\n", message.c_str()); }

void notice(FaxNoticeKind kind, const FaxJob& job, const std::string& reason)
{
    showDesktopNotice(noticeOf(faxNoticeText(kind, job, reason), faxNoticeText(kind, job, reason, Wording::English),
                               kind != FaxNoticeKind::Sent));
}

// Told once per fax and state: a retry that fails again the same way says
// nothing.
void noticeOutcome(const RetryOutcome& outcome)
{
    if (outcome.sent)
        notice(FaxNoticeKind::Sent, outcome.job, {});
    else if (outcome.state == OutboxState::Refused && outcome.was != OutboxState::Refused)
        notice(FaxNoticeKind::Refused, outcome.job, outcome.reason);
}

}  // namespace

OutboxKeeper::OutboxKeeper(const std::string& spoolFolder, Submitter submit)
    : outbox_(spoolFolder), submit_(std::move(submit)), now_(systemTime)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &OutboxKeeper::retryDue);
    runEndedFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (runEndedFd_ >= 0) {
        runEndedNotifier_ = std::make_unique<QSocketNotifier>(runEndedFd_, QSocketNotifier::Read);
        connect(runEndedNotifier_.get(), &QSocketNotifier::activated, this, &OutboxKeeper::runEnded);
    } else {
        LogAlways(0, "Outbox: no wake-up channel (error %d); retries run on the main thread\n", errno);
    }
    scheduleNext();
}

bool OutboxKeeper::keep(FaxJob& job, const SubmitReport& lastAttempt, bool forDialog)
{
    OutboxState state = OutboxState::Waiting;
    std::string reason = !lastAttempt.words.empty()    ? lastAttempt.words
                         : !lastAttempt.reason.empty() ? lastAttempt.reason
                                                       : "faxcourier ended before the fax was sent";
    if (job.recipients.empty()) {
        state = OutboxState::NeedsDialog;
        reason = noRecipientsReason;
    } else if (forDialog) {
        state = OutboxState::NeedsDialog;
        reason = "the Send Fax dialog was open when faxcourier ended: waits for it";
    } else if (lastAttempt.failure == SubmitFailure::Permanent) {
        state = OutboxState::Refused;
    }
    const Result<std::string> added = outbox_.add(job, state, reason, now_());
    if (!added) {
        LogAlways(0, "The unsent fax \"%s\" could not be put in the outbox (error %d)\n", job.subject.Text(),
                  added.code());
        std::string where;
        for (const FaxDocument& document : job.documents)
            where += std::string(where.empty() ? "" : ", ") + document.file.Text();
        where = windows1252ToUtf8(where);
        NoticeText shown = faxNoticeText(FaxNoticeKind::Refused, job, reason);
        NoticeText logged = faxNoticeText(FaxNoticeKind::Refused, job, reason, Wording::English);
        shown.summary = QCoreApplication::translate("OutboxKeeper", "Fax not sent").toStdString();
        shown.body += "\n" + QCoreApplication::translate("OutboxKeeper",
                                                         "It could not be put in the outbox; its documents stay in %1.")
                                 .arg(QString::fromStdString(where))
                                 .toStdString();
        logged.summary = "Fax not sent";
        logged.body += "\nIt could not be put in the outbox; its documents stay in " + where + ".";
        showDesktopNotice(noticeOf(shown, logged));
        return false;
    }
    // The log keeps the technical line; the desktop and the outbox the words.
    LogAlways(0, "The fax \"%s\" was not sent and waits in the outbox (%s): %s [%s]\n", job.subject.Text(),
              outboxStateName(state), (lastAttempt.reason.empty() ? reason : lastAttempt.reason).c_str(),
              added->c_str());
    // Told on the desktop too: nobody may have seen the failure.
    notice(state == OutboxState::Refused ? FaxNoticeKind::Refused : FaxNoticeKind::Waiting, job, reason);
    scheduleNext();
    countChanged();
    return true;
}

void OutboxKeeper::recoverAtStart()
{
    if (int recovered = outbox_.recoverInterrupted(Outbox::Recovery::Every))
        LogAlways(0, "Outbox: %d entry(ies) left half-stored by an ended run put in place\n", recovered);
    scheduleNext();
    countChanged();
}

OutboxKeeper::~OutboxKeeper()
{
    if (run_.joinable()) {
        // The program ends (from the menu too, not only by a signal): a
        // silent server must not hold it for minutes.
        abortServerConversations();
        run_.join();
    }
    runEndedNotifier_.reset();
    if (runEndedFd_ >= 0)
        close(runEndedFd_);
}

void OutboxKeeper::retryDue()
{
    startRun([](Outbox& outbox, const Submitter& submit, int64_t at) {
        return korva::retryDue(outbox, submit, at, false, logLine);
    });
}

void OutboxKeeper::retryNow(const std::string& id)
{
    if (run_.joinable()) {
        wanted_.push_back(id);
        return;
    }
    startRun([id](Outbox& outbox, const Submitter& submit, int64_t at) {
        return korva::retryEntry(outbox, submit, id, at, logLine);
    });
}

void OutboxKeeper::startRun(RunFn runFn)
{
    if (run_.joinable())
        return;  // its end schedules the next
    Submitter submit = forRun_ ? forRun_() : submit_;
    if (runEndedFd_ < 0) {
        result_ = runFn(outbox_, submit, now_());
        runEnded();
        return;
    }
    run_ = std::thread(
        [this, outbox = outbox_, submit = std::move(submit), runFn = std::move(runFn), now = now_()]() mutable {
            RetryRun run = runFn(outbox, submit, now);
            {
                std::lock_guard lock(resultMutex_);
                result_ = std::move(run);
            }
            const uint64_t one = 1;
            if (write(runEndedFd_, &one, sizeof one) != sizeof one)
                LogAlways(0, "Outbox: cannot wake the main loop (error %d)\n", errno);
        });
}

void OutboxKeeper::runEnded()
{
    uint64_t count = 0;
    if (runEndedFd_ >= 0 && read(runEndedFd_, &count, sizeof count) != sizeof count)
        return;
    std::optional<RetryRun> run;
    {
        std::lock_guard lock(resultMutex_);
        run.swap(result_);
    }
    if (!run)
        return;
    if (run_.joinable())
        run_.join();
    if (run->busy)
        LogAlways(0, "The outbox is being sent by another program; tried again later\n");
    for (const RetryOutcome& outcome : run->outcomes)
        noticeOutcome(outcome);
    noteSent(*run);
    scheduleNext();
    countChanged();
    if (!wanted_.empty()) {
        std::string id = wanted_.front();
        wanted_.erase(wanted_.begin());
        retryNow(id);
    }
}

void OutboxKeeper::noteSent(const RetryRun& run)
{
    for (const RetryOutcome& outcome : run.outcomes)
        if (outcome.sent)
            if (Result<void> noted = journal_.append(sentRecordOf(outcome.job, SentHow::FromOutbox, now_())); !noted)
                LogAlways(0, "The sent fax %s could not be noted in %s (error %d)\n", outcome.id.c_str(),
                          journal_.path().c_str(), noted.code());
}

bool OutboxKeeper::drop(const std::string& id)
{
    const bool dropped = outbox_.drop(id).ok();
    if (!dropped)
        LogAlways(0, "Cannot remove %s from the outbox\n", id.c_str());
    scheduleNext();
    countChanged();
    return dropped;
}

HoldResult OutboxKeeper::offerInDialog(const std::string& id, const std::function<int(FaxJob&)>& showDialog,
                                       const std::function<bool()>& quitting)
{
    if (run_.joinable())
        return HoldResult::Busy;
    OutboxEntry before;
    HoldResult held = korva::holdForDialog(outbox_, id, before);
    if (held != HoldResult::Held)
        return held;
    countChanged();
    FaxJob job = before.job;
    if (showDialog(job) == 1) {
        (void)drop(id);
        return held;
    }
    OutboxEntry back = before;
    if (quitting())
        takeDialogTexts(back, job);
    if (!outbox_.update(back))
        LogAlways(0, "Cannot put %s back in the outbox as it was\n", id.c_str());
    scheduleNext();
    countChanged();
    return held;
}

void OutboxKeeper::noticeWaitingAtStart()
{
    std::vector<OutboxEntry> entries = outbox_.list();
    if (entries.empty())
        return;
    showDesktopNotice(noticeOf(outboxStartText(entries), outboxStartText(entries, Wording::English), true));
}

void OutboxKeeper::onCountChanged(std::function<void(size_t)> tell)
{
    tellCount_ = std::move(tell);
    countChanged();
}

void OutboxKeeper::countChanged()
{
    if (tellCount_)
        tellCount_(outbox_.list().size());
    if (tellChanged_)
        tellChanged_();
}

void OutboxKeeper::offerKeptForDialog(const std::function<int(FaxJob&)>& showDialog,
                                      const std::function<bool()>& quitting)
{
    for (const OutboxEntry& listed : outbox_.list()) {
        if (listed.state != OutboxState::NeedsDialog || quitting())
            continue;
        OutboxEntry entry;
        if (!outbox_.load(listed.id, entry))
            continue;
        const bool sent = showDialog(entry.job) == 1;
        if (!sent && quitting())
            return;  // it stays for the next run
        if (!outbox_.drop(entry.id))
            LogAlways(0, "Cannot remove %s from the outbox\n", entry.id.c_str());
        countChanged();
    }
}

// A retry time in the past is due at once; a later one is waited for, in
// steps the timer can hold.
void OutboxKeeper::scheduleNext()
{
    std::optional<int64_t> due = outbox_.nextDue();
    if (!due) {
        timer_.stop();
        return;
    }
    const int64_t seconds = std::clamp<int64_t>(*due - now_(), 0, 15 * 60);
    timer_.start(static_cast<int>(seconds * 1000));
}

}  // namespace korva::app
