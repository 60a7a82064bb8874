#pragma once
// Hands a finished fax job to the KORVA mail server: one authenticated SMTP
// submission to the fax mailbox. Every failure is shown in a box; the job
// and its documents are left as they are for another try.

#include "faxcourier/settings/fax_job.h"
#include "faxcourier/settings/settings.h"

#include <string>
#include <vector>

namespace korva {

// Whether trying the same fax again later can help.
enum class SubmitFailure { None, Transient, Permanent };

struct SubmitReport {
    SubmitFailure failure = SubmitFailure::None;
    // One line for logs and listings, e.g. "535 authentication failed" or
    // "connect to mail.example.com:25 failed (error 111)"; empty on success.
    std::string reason;
    // The same for the user, on the desktop and in the outbox: "the server
    // did not answer", with no error numbers or ports.
    std::string words{};
};

// The process-wide job and settings. `owner` owns the error box (null when
// there is no window). True when the server accepted the message.
bool SubmitFax(void* owner, const std::vector<FaxDocument>& documents);

// The same with an explicit job and settings. Trims job.comments on the
// right; changes nothing else.
bool SubmitFax(void* owner, const std::vector<FaxDocument>& documents, FaxJob& job, const Settings& settings);

// The same, and tells `report` (when not null) what kind of failure it was.
// A document that is not a readable, non-empty regular file is refused
// before the server is called, as Permanent.
bool SubmitFax(void* owner, const std::vector<FaxDocument>& documents, FaxJob& job, const Settings& settings,
               SubmitReport* report);

}  // namespace korva
