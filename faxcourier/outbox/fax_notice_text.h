#pragma once
// What a desktop notification says about a fax: a short summary ("Fax
// sent") and a body with the subject, the recipients and the pages, and
// why it was not sent. UTF-8, made from the job's Windows-1252 text.

#include "faxcourier/outbox/outbox.h"
#include "faxcourier/settings/fax_job.h"

#include <string>
#include <vector>

namespace korva {

enum class FaxNoticeKind { Sent, Waiting, Refused };
// The reader's language for the desktop, English for the log.
enum class Wording { Reader, English };

struct NoticeText {
    std::string summary;
    std::string body;  // lines joined with '\n'
};

// `reason` (words, not codes, as stored in English) is told for Waiting and
// Refused only.
NoticeText faxNoticeText(FaxNoticeKind kind, const FaxJob& job, const std::string& reason = {},
                         Wording wording = Wording::Reader);

// At start: how many faxes the outbox holds and why each waits.
NoticeText outboxStartText(const std::vector<OutboxEntry>& entries, Wording wording = Wording::Reader);

// "Anna Adler, 0402 666 and 2 more": each recipient's name, or its number
// when it has none.
std::string recipientsText(const FaxJob& job, Wording wording = Wording::Reader);

}  // namespace korva
