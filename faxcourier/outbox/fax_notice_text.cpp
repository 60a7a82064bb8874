#include "faxcourier/outbox/fax_notice_text.h"

#include "faxcourier/foundation/windows1252.h"

#include <cctype>

namespace korva {
namespace {

// More recipients or faxes than this are counted, not named.
constexpr size_t kNamed = 3;
constexpr size_t kListedAtStart = 5;

std::string utf8(const String& text) { return windows1252ToUtf8(std::string(text.Text(), text.Length())); }

// The name of "fax~name~company", or the number without a name.
std::string recipientName(const String& recipient)
{
    const std::string text = utf8(recipient);
    const size_t first = text.find('~');
    std::string name = first == std::string::npos ? "" : text.substr(first + 1, text.find('~', first + 1) - first - 1);
    return name.find_first_not_of(' ') == std::string::npos ? text.substr(0, first) : name;
}

std::string subjectText(const FaxJob& job)
{
    std::string subject = utf8(job.subject);
    return subject.find_first_not_of(' ') == std::string::npos ? "No subject" : subject;
}

std::string pagesText(const FaxJob& job)
{
    uint64_t pages = 0;
    for (const FaxDocument& document : job.documents)
        pages += document.pages;
    return std::to_string(pages) + (pages == 1 ? " page" : " pages");
}

// "the server did not answer" as "The server did not answer."
std::string sentence(std::string words)
{
    if (words.empty())
        return words;
    words[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(words[0])));
    return words.back() == '.' ? words : words + ".";
}

}  // namespace

std::string recipientsText(const FaxJob& job)
{
    const size_t count = job.recipients.size();
    const size_t named = count > kNamed + 1 ? kNamed : count;
    std::string text;
    for (size_t n = 0; n < named; ++n) {
        const char* separator = n == 0 ? "" : (n + 1 == count ? " and " : ", ");
        text += separator + recipientName(job.recipients[n]);
    }
    if (named < count)
        text += " and " + std::to_string(count - named) + " more";
    return text;
}

NoticeText faxNoticeText(FaxNoticeKind kind, const FaxJob& job, const std::string& reason)
{
    const char* summaries[] = {"Fax sent", "Fax waiting in the outbox", "Fax refused"};
    NoticeText text{summaries[static_cast<int>(kind)], subjectText(job)};
    if (!job.recipients.empty())
        text.body += "\nTo " + recipientsText(job);
    text.body += "\n" + pagesText(job);
    if (kind != FaxNoticeKind::Sent && !reason.empty())
        text.body += "\n" + sentence(reason);
    return text;
}

NoticeText outboxStartText(const std::vector<OutboxEntry>& entries)
{
    const size_t count = entries.size();
    NoticeText text{count == 1 ? "1 fax waits in the outbox" : std::to_string(count) + " faxes wait in the outbox", {}};
    for (size_t n = 0; n < count && n < kListedAtStart; ++n) {
        const OutboxEntry& entry = entries[n];
        std::string line = subjectText(entry.job);
        if (!entry.job.recipients.empty())
            line += " to " + recipientsText(entry.job);
        if (!entry.reason.empty())
            line += ": " + entry.reason;
        text.body += (n == 0 ? "" : "\n") + line;
    }
    if (count > kListedAtStart)
        text.body += "\nand " + std::to_string(count - kListedAtStart) + " more";
    return text;
}

}  // namespace korva
