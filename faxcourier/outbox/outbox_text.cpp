#include "faxcourier/outbox/outbox_text.h"

#include "platform/translation.h"

#include <ctime>

namespace korva {
namespace {

// The three parts of "number~name~company"; missing ones are empty.
void splitRecipient(const std::string& text, std::string (&parts)[3])
{
    size_t part = 0;
    for (char c : text) {
        if (c == '~' && part < 2)
            ++part;
        else
            parts[part] += c;
    }
}

}  // namespace

std::string localTimeText(int64_t seconds)
{
    std::time_t t = std::time_t(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string shownText(const String& text)
{
    String utf8 = text.ToUtf8();
    std::string out;
    for (const char* p = utf8.Text(); *p; ++p)
        out += (static_cast<unsigned char>(*p) < 0x20) ? ' ' : *p;
    return out;
}

std::string shownRecipient(const String& recipient)
{
    std::string parts[3];
    splitRecipient(shownText(recipient), parts);
    std::string out = parts[0];
    if (!parts[1].empty())
        out += " " + parts[1];
    if (!parts[2].empty())
        out += " (" + parts[2] + ")";
    return out;
}

std::string recipientName(const String& recipient)
{
    std::string parts[3];
    splitRecipient(shownText(recipient), parts);
    return parts[1].empty() ? parts[0] : parts[1];
}

std::string shownRecipients(const FaxJob& job)
{
    std::string recipients;
    for (const String& recipient : job.recipients)
        recipients += (recipients.empty() ? "" : ", ") + shownRecipient(recipient);
    return recipients.empty() ? translated("OutboxText", "none") : recipients;
}

uint32_t jobPages(const FaxJob& job)
{
    uint32_t pages = 0;
    for (const FaxDocument& document : job.documents)
        pages += document.pages;
    return pages;
}

std::string listingLine(const std::string& label, const std::string& value)
{
    constexpr size_t kWidth = 12;
    size_t characters = 0;
    for (char c : label)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return "  " + label + std::string(characters < kWidth ? kWidth - characters : 1, ' ') + value + "\n";
}

std::string outboxStateWords(OutboxState state)
{
    // The stored name, but for the one that is no words.
    if (state == OutboxState::NeedsDialog)
        return translated("OutboxText", "needs the dialog");
    return translated("OutboxText", outboxStateName(state));
}

std::string outboxStateLine(const OutboxEntry& entry)
{
    switch (entry.state) {
        case OutboxState::Waiting:
            return withArguments(translated("OutboxText", "waiting, next try %1"), {localTimeText(entry.nextTry)});
        case OutboxState::Refused:
            return translated("OutboxText", "refused, sent again only on request");
        case OutboxState::NeedsDialog:
            return entry.job.recipients.empty()
                       ? translated("OutboxText", "no recipients, offered in the Send Fax dialog")
                       : translated("OutboxText", "offered in the Send Fax dialog, never sent from here");
    }
    return {};
}

}  // namespace korva
