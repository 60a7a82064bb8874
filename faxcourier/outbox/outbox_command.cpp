#include "faxcourier/outbox/outbox_command.h"

#include "faxcourier/outbox/outbox_text.h"

#include <ostream>

namespace korva {
namespace {

constexpr int kDone = 0;
constexpr int kNotDone = 1;
constexpr int kUsage = 2;

void printEntry(std::ostream& out, const OutboxEntry& entry)
{
    out << entry.id << "  " << outboxStateLine(entry) << "\n"
        << "  created     " << localTimeText(entry.created) << "\n"
        << "  attempts    " << entry.attempts << "\n"
        << "  subject     " << shownText(entry.job.subject) << "\n"
        << "  recipients  " << shownRecipients(entry.job) << "\n"
        << "  pages       " << jobPages(entry.job) << " in " << entry.job.documents.size() << " document(s)\n";
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
          SentJournal& journal, const LogSink& log)
{
    RetryRun run = retryDue(outbox, submit, now, true, log);
    if (run.busy) {
        err << "Another KORVA Fax is sending the outbox; try again later.\n";
        return kNotDone;
    }
    int result = kDone;
    for (const RetryOutcome& outcome : run.outcomes) {
        out << outcome.id << ": " << (outcome.sent ? "sent" : outcome.reason) << "\n";
        if (outcome.sent)
            if (int error = journal.append(sentRecordOf(outcome.job, SentHow::FromOutbox, now)))
                err << "The sent fax " << outcome.id << " could not be noted in " << journal.path() << " (error "
                    << error << ").\n";
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
    return !args.empty() &&
           (args[0] == "--outbox" || args[0] == "--outbox-retry" || args[0] == "--outbox-drop" || args[0] == "--sent");
}

int runOutboxCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Outbox& outbox,
                     const Submitter& submit, int64_t now, SentJournal& journal, const LogSink& log)
{
    if (args.size() == 1 && args[0] == "--sent") {
        printSentJournal(out, journal.read());
        return kDone;
    }
    if (args.size() == 1 && args[0] == "--outbox")
        return list(out, outbox);
    if (args.size() == 1 && args[0] == "--outbox-retry")
        return retry(out, err, outbox, submit, now, journal, log);
    if (args.size() == 2 && args[0] == "--outbox-drop")
        return drop(out, err, outbox, args[1]);
    err << "Usage: faxcourier --outbox | --outbox-retry | --outbox-drop ID | --sent\n";
    return kUsage;
}

}  // namespace korva
