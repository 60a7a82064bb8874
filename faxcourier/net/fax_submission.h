#pragma once
// Hands a finished fax job to the KORVA mail server: one authenticated SMTP
// submission to the fax mailbox. Every failure is shown in a server error
// box; the job and its documents are left as they are for another try.

#include "faxcourier/settings/fax_job.h"
#include "faxcourier/settings/settings.h"

#include <vector>

namespace korva {

// The process-wide job and settings. `owner` owns the error box (null when
// there is no window). True when the server accepted the message.
bool SubmitFax(void* owner, const std::vector<FaxDocument>& documents);

// The same with an explicit job and settings. Trims job.comments on the
// right; changes nothing else.
bool SubmitFax(void* owner, const std::vector<FaxDocument>& documents, FaxJob& job, const Settings& settings);

}  // namespace korva
