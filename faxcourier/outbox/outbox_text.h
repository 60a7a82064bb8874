#pragma once
// How the outbox and the journal of sent faxes show a fax, in the text
// listings and the Outbox window alike. Job texts are Windows-1252; these
// give UTF-8 without line breaks. Qt-free.

#include "faxcourier/outbox/outbox.h"

#include <cstdint>
#include <string>

namespace korva {

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string localTimeText(int64_t seconds);
// A job text in UTF-8 with control bytes as spaces.
std::string shownText(const String& text);
// "number~name~company" as "number name (company)".
std::string shownRecipient(const String& recipient);
// The name, or the number when there is none.
std::string recipientName(const String& recipient);
// Every recipient's shownRecipient, joined by ", "; "none" without any.
std::string shownRecipients(const FaxJob& job);
uint32_t jobPages(const FaxJob& job);
// "  created     2024-...\n": a line of the text listings, the label indented
// and padded so that the values line up whatever the language.
std::string listingLine(const std::string& label, const std::string& value);

// "waiting", "refused", "needs the dialog". These and the lines below are in
// the reader's language.
std::string outboxStateWords(OutboxState state);
// What happens to the entry next: "waiting, next try ...", "refused, sent
// again only on request", ...
std::string outboxStateLine(const OutboxEntry& entry);

}  // namespace korva
