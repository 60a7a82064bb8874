#pragma once
// Sends the outbox's entries again, oldest first. Only one process runs
// this at a time: the run holds a flock() on "<outbox>/.lock" and gives up
// at once when another holds it.

#include "faxcourier/outbox/outbox.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korva {

// What the server made of one submission.
struct SubmitResult {
    bool accepted = false;
    bool permanent = false;  // retrying cannot mend it (authentication, recipient, document)
    std::string reason;      // for the log
    std::string words{};     // the same for the user, kept as the entry's reason; empty: `reason` serves
};

using Submitter = std::function<SubmitResult(FaxJob& job)>;
using LogSink = std::function<void(const std::string& message)>;

struct RetryOutcome {
    std::string id;
    bool sent = false;
    std::string reason;                        // why not, when not sent: the words the entry keeps
    FaxJob job;                                // as submitted: for the notice and the journal of sent faxes
    OutboxState state = OutboxState::Waiting;  // the entry's state after a failure
    OutboxState was = OutboxState::Waiting;    // its state before this try
};

struct RetryRun {
    bool busy = false;  // another process holds the outbox; nothing was tried
    std::vector<RetryOutcome> outcomes;
};

// Submits every Waiting entry whose next try is due at `now`, or with `all`
// every Waiting and Refused entry whatever its time (the user asked).
// NeedsDialog entries are never submitted from here. A sent entry is dropped
// with its documents; a failure is recorded on the entry (Refused when
// permanent). An entry whose document is missing is refused without
// submitting. `log` may be empty.
[[nodiscard]] RetryRun retryDue(Outbox& outbox, const Submitter& submit, int64_t now, bool all,
                                const LogSink& log = {});

// Submits the entry `id` now, Waiting or Refused, as retryDue() with `all`
// does; nothing when it is gone or NeedsDialog.
[[nodiscard]] RetryRun retryEntry(Outbox& outbox, const Submitter& submit, const std::string& id, int64_t now,
                                  const LogSink& log = {});

enum class HoldResult { Held, Busy, Gone };
// Takes the entry out of the retries while the user has it in the Send Fax
// dialog: it becomes NeedsDialog (so a crash leaves it for the dialog), and
// `before` gets it as it was, for Outbox::update() when the user cancels.
// Busy while a run holds the outbox.
[[nodiscard]] HoldResult holdForDialog(Outbox& outbox, const std::string& id, OutboxEntry& before);

}  // namespace korva
