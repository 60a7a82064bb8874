#pragma once
// faxcourier's outbox options, run without a window:
//   --outbox          lists what waits and why
//   --outbox-retry    sends every entry now (refused ones too)
//   --outbox-drop ID  removes one entry with its documents
//   --sent            lists the faxes the server accepted, newest first
// The option is the first argument (argv[0] not included).
//
// Exit codes:
//   0  done: listed, every entry sent, or dropped
//   1  not everything could be done: an entry was not sent or is left for
//      the Send Fax dialog, another process is sending the outbox, or the
//      entry could not be removed
//   2  usage error or unknown id

#include "faxcourier/outbox/outbox.h"
#include "faxcourier/outbox/outbox_retry.h"
#include "faxcourier/outbox/sent_journal.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace korva {

bool isOutboxCommand(const std::vector<std::string>& args);

// Times are shown in local time. `now` stamps the failures of a retry and
// the faxes it sent, which go to `journal`.
[[nodiscard]] int runOutboxCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                                   Outbox& outbox, const Submitter& submit, int64_t now, SentJournal& journal,
                                   const LogSink& log = {});

}  // namespace korva
