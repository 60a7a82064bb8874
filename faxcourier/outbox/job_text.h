#pragma once
// job.txt of an outbox entry: "key=value" lines. Values are percent-escaped
// ("%", "=", control bytes) so any text of the job survives a round trip;
// other bytes, Latin-1 included, are stored as they are. Recipients are
// repeated "recipient=" lines; a document is a "document.file=" line
// followed by its "document.name=" and "document.pages=".

#include "faxcourier/outbox/outbox.h"

#include <string>

namespace korva {

// Documents are written by file name only; the folder is the entry's.
std::string formatJobText(const OutboxEntry& entry);

// Fills `entry` (all but id) from `text`; documents' files are put inside
// `folder`. False for a text that is not a job.
[[nodiscard]] bool parseJobText(const std::string& text, const std::string& folder, OutboxEntry& entry);

std::string escapeJobValue(const std::string& value);
[[nodiscard]] bool unescapeJobValue(const std::string& text, std::string& value);

}  // namespace korva
