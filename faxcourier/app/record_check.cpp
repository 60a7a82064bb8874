#include "faxcourier/app/record_check.h"

#include "controlarea/recipient_line.h"

#include <algorithm>
#include <iterator>
#include <strings.h>

namespace korva::app {
namespace {

// Blanks at either end are trimmed on reading, so they do no harm.
bool holdsControlBytes(const std::string& text)
{
    std::string trimmed = trimBlanks(text);
    return std::any_of(trimmed.begin(), trimmed.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

bool unfitRecipients(const std::string& text)
{
    return !trimBlanks(text).empty() && (holdsControlBytes(text) || !acceptRecipientLine(text));
}

}  // namespace

std::string refusedRecordField(const ControlRecord& record)
{
    if (record.userName[0] == '\0')
        return {};  // nothing of it is taken
    if (holdsControlBytes(fieldText(record.subject)))
        return "subject";
    const std::string documentName = fieldText(record.documentName);
    if (holdsControlBytes(documentName))
        return "document name";
    // A "rcpt:" name whose text holds no recipient line (a piece split at
    // ";" has two "~" only if the whole has).
    if (documentName.size() >= 5 && strncasecmp(documentName.c_str(), "rcpt:", 5) == 0 &&
        unfitRecipients(documentName.substr(5)))
        return "document name";
    if (holdsControlBytes(fieldText(record.coverPage)))
        return "cover page";
    for (size_t i = 0; i < std::size(record.recipients); ++i)
        if (unfitRecipients(fieldText(record.recipients[i])))
            return "recipient " + std::to_string(i + 1);
    return {};
}

}  // namespace korva::app
