#include "faxcourier/outbox/outbox_command.h"

#include <ctime>
#include <ostream>

namespace korva {
namespace {

constexpr int kDone = 0;
constexpr int kNotDone = 1;
constexpr int kUsage = 2;

std::string localTime(int64_t seconds)
{
    std::time_t t = std::time_t(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// Job texts are Windows-1252; a terminal wants UTF-8 and no line breaks.
std::string shown(const String& text)
{
    String utf8 = text.ToUtf8();
    std::string out;
    for (const char* p = utf8.Text(); *p; ++p)
        out += (static_cast<unsigned char>(*p) < 0x20) ? ' ' : *p;
    return out;
}

// "number~name~company" as "number name (company)".
std::string shownRecipient(const String& recipient)
{
    std::string text = shown(recipient), parts[3];
    size_t part = 0;
    for (char c : text) {
        if (c == '~' && part < 2)
            ++part;
        else
            parts[part] += c;
    }
    std::string out = parts[0];
    if (!parts[1].empty())
        out += " " + parts[1];
    if (!parts[2].empty())
        out += " (" + parts[2] + ")";
    return out;
}

std::string stateText(const OutboxEntry& entry)
{
    switch (entry.state) {
        case OutboxState::Waiting:
            return "waiting, next try " + localTime(entry.nextTry);
        case OutboxState::Refused:
            return "refused, sent again only by --outbox-retry";
        case OutboxState::NeedsDialog:
            return entry.job.recipients.empty() ? "no recipients, offered in the Send Fax dialog"
                                                : "offered in the Send Fax dialog, never sent from here";
    }
    return {};
}

void printEntry(std::ostream& out, const OutboxEntry& entry)
{
    uint32_t pages = 0;
    for (const FaxDocument& document : entry.job.documents)
        pages += document.pages;
    std::string recipients;
    for (const String& recipient : entry.job.recipients)
        recipients += (recipients.empty() ? "" : ", ") + shownRecipient(recipient);
    out << entry.id << "  " << stateText(entry) << "\n"
        << "  created     " << localTime(entry.created) << "\n"
        << "  attempts    " << entry.attempts << "\n"
        << "  subject     " << shown(entry.job.subject) << "\n"
        << "  recipients  " << (recipients.empty() ? "none" : recipients) << "\n"
        << "  pages       " << pages << " in " << entry.job.documents.size() << " document(s)\n";
    if (!entry.reason.empty())
        out << "  reason      " << entry.reason << "\n";
}

int list(std::ostream& out, const Outbox& outbox)
{
    std::vector<OutboxEntry> entries = outbox.list();
    if (entries.empty())
        out << "The outbox is empty.\n";
    else
        out << entries.size() << " fax(es) in the outbox, oldest first:\n";
    for (const OutboxEntry& entry : entries) {
        out << "\n";
        printEntry(out, entry);
    }
    if (size_t hidden = outbox.halfBuilt())
        out << (entries.empty() ? "" : "\n") << hidden
            << " fax(es) were being stored when a run ended; faxcourier puts them in place at its next start.\n";
    return kDone;
}

int retry(std::ostream& out, std::ostream& err, Outbox& outbox, const Submitter& submit, int64_t now,
          const LogSink& log)
{
    RetryRun run = retryDue(outbox, submit, now, true, log);
    if (run.busy) {
        err << "Another KORVA Fax is sending the outbox; try again later.\n";
        return kNotDone;
    }
    int result = kDone;
    for (const RetryOutcome& outcome : run.outcomes) {
        out << outcome.id << ": " << (outcome.sent ? "sent" : outcome.reason) << "\n";
        if (!outcome.sent)
            result = kNotDone;
    }
    for (const OutboxEntry& entry : outbox.list())
        if (entry.state == OutboxState::NeedsDialog) {
            out << entry.id << ": no recipients, waits for the Send Fax dialog\n";
            result = kNotDone;
        }
    if (run.outcomes.empty() && result == kDone)
        out << "The outbox is empty.\n";
    return result;
}

int drop(std::ostream& out, std::ostream& err, Outbox& outbox, const std::string& id)
{
    OutboxEntry entry;
    if (!outbox.load(id, entry)) {
        err << "There is no fax " << id << " in the outbox; --outbox lists them.\n";
        return kUsage;
    }
    if (!outbox.drop(id)) {
        err << "The fax " << id << " could not be removed from " << outbox.folder() << ".\n";
        return kNotDone;
    }
    out << "Removed " << id << " from the outbox.\n";
    return kDone;
}

}  // namespace

bool isOutboxCommand(const std::vector<std::string>& args)
{
    return !args.empty() && (args[0] == "--outbox" || args[0] == "--outbox-retry" || args[0] == "--outbox-drop");
}

int runOutboxCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Outbox& outbox,
                     const Submitter& submit, int64_t now, const LogSink& log)
{
    if (args.size() == 1 && args[0] == "--outbox")
        return list(out, outbox);
    if (args.size() == 1 && args[0] == "--outbox-retry")
        return retry(out, err, outbox, submit, now, log);
    if (args.size() == 2 && args[0] == "--outbox-drop")
        return drop(out, err, outbox, args[1]);
    err << "Usage: faxcourier --outbox | --outbox-retry | --outbox-drop ID\n";
    return kUsage;
}

}  // namespace korva
