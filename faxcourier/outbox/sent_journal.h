#pragma once
// The journal of sent faxes: one line per fax the server accepted, so the
// user can see later whether a fax went out. It holds what the fax was
// (when, to whom, subject, pages, how it went), never its documents, and
// keeps the newest kSentJournalLimit. Lines are appended whole under a
// flock(); a line cut short by a crash is skipped when read. Qt-free.

#include "faxcourier/settings/fax_job.h"
#include "platform/result.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace korva {

inline constexpr size_t kSentJournalLimit = 1000;

enum class SentHow {
    AtOnce,      // sent as it arrived, without the dialog (a preset)
    FromOutbox,  // a retry from the outbox
    ByHand,      // sent from the Send Fax dialog
};

struct SentRecord {
    int64_t when = 0;  // seconds since the epoch
    SentHow how = SentHow::AtOnce;
    uint32_t pages = 0;
    std::string subject;                  // UTF-8
    std::vector<std::string> recipients;  // UTF-8: the name, or the number when there is none
};

// The record of `job` (Windows-1252 texts) sent at `when`.
SentRecord sentRecordOf(const FaxJob& job, SentHow how, int64_t when);

// "at once", "from the outbox", "by hand", in the reader's language.
std::string sentHowWords(SentHow how);

class SentJournal {
public:
    explicit SentJournal(std::string path);

    // "<state home>/KORVAFax/sent.journal".
    static std::string defaultPath();
    const std::string& path() const { return path_; }

    // Adds the record; its folder is made (0700) when missing. The error
    // carries the errno of the failing step.
    Result<void> append(const SentRecord& record);
    // The readable records, oldest first; none when there is no journal.
    [[nodiscard]] std::vector<SentRecord> read() const;

private:
    Result<void> addLine(int fd, const SentRecord& record) const;
    Result<void> trim(int fd) const;

    std::string path_;
};

// The list `faxcourier --sent` prints, newest first.
void printSentJournal(std::ostream& out, const std::vector<SentRecord>& records);

}  // namespace korva
