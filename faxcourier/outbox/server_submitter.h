#pragma once
// The mail server as the outbox's submitter: SubmitFax with the settings.
// Nobody waits for a retry's error box, so its text only goes to the log.

#include "faxcourier/outbox/outbox_retry.h"
#include "faxcourier/settings/settings.h"

#include <memory>

namespace korva {

// `settings` must outlive the submitter.
Submitter serverSubmitter(const Settings& settings);
// With its own copy of the settings, for a run on another thread while the
// user may change them.
Submitter serverSubmitter(std::shared_ptr<const Settings> settings);

}  // namespace korva
