#pragma once
// Recipients given as job options, as fax queues take them:
//   phone=NUMBER                    one number
//   faxPrefix=DIGITS                put before every number of the job
//   korvafax-recipient=LINE[;LINE]  number~name~company lines
// They travel to faxcourier as the document name "rcpt:LINE;LINE", the way
// a script names a document with one recipient, so the exit library takes
// them like any other title.

#include "platform/result.h"

#include <optional>
#include <string>

namespace korva::cups {

// The document name that carries the job's recipients: nullopt when the
// options name none; fails when they do not make a fax (a line without its
// two "~", a phone or faxPrefix with a character no dial string holds, or
// too long to hand over).
[[nodiscard]] Result<std::optional<std::string>> recipientDocumentName(const std::string& options);

}  // namespace korva::cups
