#pragma once
// Faxes the server did not accept, kept in "<spool>/outbox" until they are
// sent or the user drops them. One entry is one folder "<id>" holding the
// job's documents (doc1.tif, doc2.tif ...) and job.txt. An entry is built in
// ".<id>.tmp": job.txt first, then the documents, then renamed into place.
// A crash leaves the documents where they were, a whole entry, or a hidden
// folder with job.txt that recoverInterrupted() puts in place. Qt-free; time
// is passed in as seconds since the epoch.

#include "faxcourier/settings/fax_job.h"
#include "platform/result.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korva {

enum class OutboxState {
    Waiting,      // sent again once its next try is due
    Refused,      // retrying cannot mend it; sent again only on request
    NeedsDialog,  // no recipients: offered in the Send Fax dialog, never sent from here
};

struct OutboxEntry {
    std::string id;
    FaxJob job;  // documents' files are absolute paths inside the entry
    OutboxState state = OutboxState::Waiting;
    std::string reason;   // one line
    int attempts = 0;     // failed submissions so far
    int64_t nextTry = 0;  // Waiting only; 0 otherwise
    int64_t created = 0;
};

class Outbox {
public:
    explicit Outbox(std::string spoolFolder);

    const std::string& folder() const { return folder_; }  // "<spool>/outbox"

    // Moves the job's documents into a new entry (rename(), so they must be
    // on the spool's file system) and points the job's documents at them.
    // A Waiting entry counts as failed once and is due after retryDelay(1).
    // Hands back the id. On failure the error carries the errno, and the
    // job's files are back where they were; a file that cannot be moved back
    // stays in the hidden entry, and the job's document points at it.
    Result<std::string> add(FaxJob& job, OutboxState state, const std::string& reason, int64_t now);

    // Every readable entry, oldest first.
    [[nodiscard]] std::vector<OutboxEntry> list() const;
    // Fills `entry` only when the entry could be read whole.
    Result<void> load(const std::string& id, OutboxEntry& entry) const;
    // Removes the entry with its documents.
    Result<void> drop(const std::string& id);
    // One more failed attempt: Refused when `permanent`, else Waiting with
    // the next try after the back-off.
    Result<void> recordFailure(const std::string& id, bool permanent, const std::string& reason, int64_t now);
    // Writes the entry's job.txt again (state, reason, times, job texts);
    // its documents stay as they are.
    Result<void> update(const OutboxEntry& entry);
    // The earliest next try of the Waiting entries.
    [[nodiscard]] std::optional<int64_t> nextDue() const;

    // Whose half-built entries recoverInterrupted() puts in place: those of
    // processes that ended, or every one (only for the program that alone
    // builds entries, at its start: its pid may be a dead one's again).
    enum class Recovery { EndedCreators, Every };
    // Tidies what a process that died left: an entry it was building is put
    // in place once it has its job.txt, one it was dropping is removed. A
    // temporary folder without a readable job.txt is left alone, so no
    // document is deleted unseen. Returns how many entries were put in place.
    int recoverInterrupted(Recovery which = Recovery::EndedCreators);

    // How many hidden entries with a job.txt wait to be put in place.
    [[nodiscard]] size_t halfBuilt() const;

    // For tests: called after each step of add() ("job.txt", "doc1.tif" ...,
    // "entry"), to stop it there as a crash would.
    void onAddStep(std::function<void(const std::string& step)> hook) { addStep_ = std::move(hook); }

private:
    std::string entryFolder(const std::string& id) const;
    Result<void> save(const OutboxEntry& entry) const;

    std::string folder_;
    std::function<void(const std::string&)> addStep_;
};

// The wait before the next try after `attempts` failures: 30 s after the
// first, doubling up to 15 minutes.
std::chrono::seconds retryDelay(int attempts);

// "waiting", "refused", "needs-dialog": the words job.txt stores.
const char* outboxStateName(OutboxState state);

}  // namespace korva
