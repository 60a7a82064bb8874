#include "faxcourier/outbox/outbox_retry.h"

#include "platform/file_ops.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <unistd.h>

namespace korva {
namespace {

// The run's flock on "<outbox>/.lock"; the kernel drops it when a holder dies.
class RunLock {
public:
    explicit RunLock(const std::string& outboxFolder)
    {
        if (!makeFolders(outboxFolder, 0700))
            return;
        fd_ = open((outboxFolder + "/.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) == 0)
            held_ = true;
    }
    ~RunLock()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;
    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

bool wanted(const OutboxEntry& entry, int64_t now, bool all)
{
    switch (entry.state) {
        case OutboxState::Waiting:
            return all || entry.nextTry <= now;
        case OutboxState::Refused:
            return all;
        case OutboxState::NeedsDialog:
            return false;
    }
    return false;
}

std::string missingDocument(const FaxJob& job)
{
    for (const FaxDocument& document : job.documents)
        if (!fileExists(document.file.Text()))
            return document.file.Text();
    return {};
}

using Pick = std::function<bool(const OutboxEntry&)>;

RetryRun retryPicked(Outbox& outbox, const Submitter& submit, int64_t now, const Pick& pick, const LogSink& log)
{
    auto say = [&](const std::string& message) {
        if (log)
            log(message);
    };
    RetryRun run;
    RunLock lock(outbox.folder());
    if (!lock.held()) {
        run.busy = true;
        say("Outbox: another process is sending the outbox");
        return run;
    }
    if (int recovered = outbox.recoverInterrupted())
        say("Outbox: " + std::to_string(recovered) + " entry(ies) left half-stored by an ended process put in place");
    for (const OutboxEntry& listed : outbox.list()) {
        if (!pick(listed))
            continue;
        // Read again under the lock: the listing may be older than the entry.
        OutboxEntry entry;
        if (!outbox.load(listed.id, entry) || !pick(entry))
            continue;
        RetryOutcome outcome{entry.id, false, {}, entry.job, entry.state, entry.state};
        SubmitResult result;
        if (std::string missing = missingDocument(entry.job); !missing.empty()) {
            result = {false, true, "document " + missing + " is missing", "a document of the fax is missing"};
        } else {
            say("Outbox: sending " + entry.id + ", attempt " + std::to_string(entry.attempts + 1));
            result = submit(entry.job);
        }
        if (result.accepted) {
            outcome.sent = true;
            if (outbox.drop(entry.id))
                say("Outbox: " + entry.id + " sent and removed");
            else
                say("Outbox: " + entry.id + " sent but could not be removed; it may be sent twice");
        } else {
            const std::string logged = result.reason.empty() ? "not accepted" : result.reason;
            outcome.reason = result.words.empty() ? logged : result.words;
            Result<void> recorded = outbox.recordFailure(entry.id, result.permanent, outcome.reason, now);
            OutboxEntry after;
            if (recorded && outbox.load(entry.id, after))
                outcome.state = after.state;
            if (!recorded)
                say("Outbox: " + entry.id + " not sent (" + logged + "); its state could not be saved");
            else if (outcome.state == OutboxState::Refused)
                say("Outbox: " + entry.id + " refused, kept until retried by hand: " + logged);
            else
                say("Outbox: " + entry.id + " not sent, next try in " + std::to_string(after.nextTry - now) +
                    " s: " + logged);
        }
        run.outcomes.push_back(std::move(outcome));
    }
    return run;
}

}  // namespace

RetryRun retryDue(Outbox& outbox, const Submitter& submit, int64_t now, bool all, const LogSink& log)
{
    return retryPicked(
        outbox, submit, now, [&](const OutboxEntry& entry) { return wanted(entry, now, all); }, log);
}

RetryRun retryEntry(Outbox& outbox, const Submitter& submit, const std::string& id, int64_t now, const LogSink& log)
{
    return retryPicked(
        outbox, submit, now, [&](const OutboxEntry& entry) { return entry.id == id && wanted(entry, now, true); }, log);
}

HoldResult holdForDialog(Outbox& outbox, const std::string& id, OutboxEntry& before)
{
    RunLock lock(outbox.folder());
    if (!lock.held())
        return HoldResult::Busy;
    if (!outbox.load(id, before))
        return HoldResult::Gone;
    OutboxEntry held = before;
    held.state = OutboxState::NeedsDialog;
    held.nextTry = 0;
    held.reason = "open in the Send Fax dialog";
    return outbox.update(held) ? HoldResult::Held : HoldResult::Gone;
}

}  // namespace korva
