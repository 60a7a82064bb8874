#include "faxcourier/outbox/fax_notice_text.h"

#include "faxcourier/net/submit_words.h"
#include "platform/translation.h"
#include "platform/windows1252.h"

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

// The English text for the log, else the reader's.
std::string said(Wording wording, const char* english, std::string reader)
{
    return wording == Wording::English ? std::string(english) : reader;
}

std::string subjectText(const FaxJob& job, Wording wording)
{
    std::string subject = utf8(job.subject);
    return subject.find_first_not_of(' ') == std::string::npos
               ? said(wording, "No subject", translated("FaxNotice", "No subject"))
               : subject;
}

std::string pagesText(const FaxJob& job, Wording wording)
{
    uint64_t pages = 0;
    for (const FaxDocument& document : job.documents)
        pages += document.pages;
    if (pages == 1)
        return said(wording, "1 page", translated("FaxNotice", "1 page"));
    return withArguments(said(wording, "%1 pages", translated("FaxNotice", "%1 pages")), {std::to_string(pages)});
}

std::string reasonText(const std::string& reason, Wording wording)
{
    return wording == Wording::English ? reason : shownReason(reason);
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

std::string recipientsText(const FaxJob& job, Wording wording)
{
    const size_t count = job.recipients.size();
    const size_t named = count > kNamed + 1 ? kNamed : count;
    // All named but the last, which "and" joins unless more follow.
    const size_t listed = named < count ? named : (named == 0 ? 0 : named - 1);
    std::string text;
    for (size_t n = 0; n < listed; ++n)
        text += (n == 0 ? "" : ", ") + recipientName(job.recipients[n]);
    if (named < count)
        return withArguments(said(wording, "%1 and %2 more", translated("FaxNotice", "%1 and %2 more")),
                             {text, std::to_string(count - named)});
    if (named == 0)
        return text;
    const std::string last = recipientName(job.recipients[named - 1]);
    return named == 1 ? last
                      : withArguments(said(wording, "%1 and %2", translated("FaxNotice", "%1 and %2")), {text, last});
}

NoticeText faxNoticeText(FaxNoticeKind kind, const FaxJob& job, const std::string& reason, Wording wording)
{
    const std::string summaries[] = {
        said(wording, "Fax sent", translated("FaxNotice", "Fax sent")),
        said(wording, "Fax waiting in the outbox", translated("FaxNotice", "Fax waiting in the outbox")),
        said(wording, "Fax refused", translated("FaxNotice", "Fax refused")),
    };
    NoticeText text{summaries[static_cast<int>(kind)], subjectText(job, wording)};
    if (!job.recipients.empty())
        text.body += "\n" + withArguments(said(wording, "To %1", translated("FaxNotice", "To %1")),
                                          {recipientsText(job, wording)});
    text.body += "\n" + pagesText(job, wording);
    if (kind != FaxNoticeKind::Sent && !reason.empty())
        text.body += "\n" + sentence(reasonText(reason, wording));
    return text;
}

NoticeText outboxStartText(const std::vector<OutboxEntry>& entries, Wording wording)
{
    const size_t count = entries.size();
    NoticeText text{
        count == 1 ? said(wording, "1 fax waits in the outbox", translated("FaxNotice", "1 fax waits in the outbox"))
                   : withArguments(said(wording, "%1 faxes wait in the outbox",
                                        translated("FaxNotice", "%1 faxes wait in the outbox")),
                                   {std::to_string(count)}),
        {}};
    for (size_t n = 0; n < count && n < kListedAtStart; ++n) {
        const OutboxEntry& entry = entries[n];
        std::string line = subjectText(entry.job, wording);
        if (!entry.job.recipients.empty())
            line = withArguments(said(wording, "%1 to %2", translated("FaxNotice", "%1 to %2")),
                                 {line, recipientsText(entry.job, wording)});
        if (!entry.reason.empty())
            line = withArguments(said(wording, "%1: %2", translated("FaxNotice", "%1: %2")),
                                 {line, reasonText(entry.reason, wording)});
        text.body += (n == 0 ? "" : "\n") + line;
    }
    if (count > kListedAtStart)
        text.body += "\n" + withArguments(said(wording, "and %1 more", translated("FaxNotice", "and %1 more")),
                                          {std::to_string(count - kListedAtStart)});
    return text;
}

}  // namespace korva
