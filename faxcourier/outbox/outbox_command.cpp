#include "faxcourier/outbox/outbox_command.h"

#include "faxcourier/net/submit_words.h"
#include "faxcourier/outbox/outbox_text.h"
#include "platform/translation.h"

#include <ostream>

namespace korva {
namespace {

constexpr int kDone = 0;
constexpr int kNotDone = 1;
constexpr int kUsage = 2;

void printEntry(std::ostream& out, const OutboxEntry& entry)
{
    const std::string pages =
        withArguments(translated("OutboxCommand", "%1 in %2 document(s)"),
                      {std::to_string(jobPages(entry.job)), std::to_string(entry.job.documents.size())});
    out << entry.id << "  " << outboxStateLine(entry) << "\n"
        << listingLine(translated("OutboxCommand", "created"), localTimeText(entry.created))
        << listingLine(translated("OutboxCommand", "attempts"), std::to_string(entry.attempts))
        << listingLine(translated("OutboxCommand", "subject"), shownText(entry.job.subject))
        << listingLine(translated("OutboxCommand", "recipients"), shownRecipients(entry.job))
        << listingLine(translated("OutboxCommand", "pages"), pages);
    if (!entry.reason.empty())
        out << listingLine(translated("OutboxCommand", "reason"), shownReason(entry.reason));
}

int list(std::ostream& out, const Outbox& outbox)
{
    std::vector<OutboxEntry> entries = outbox.list();
    if (entries.empty())
        out << translated("OutboxCommand", "The outbox is empty.") << "\n";
    else
        out << withArguments(translated("OutboxCommand", "%1 fax(es) in the outbox, oldest first:"),
                             {std::to_string(entries.size())})
            << "\n";
    for (const OutboxEntry& entry : entries) {
        out << "\n";
        printEntry(out, entry);
    }
    if (size_t hidden = outbox.halfBuilt())
        out << (entries.empty() ? "" : "\n")
            << withArguments(translated("OutboxCommand",
                                        "%1 fax(es) were being stored when a run ended; faxcourier "
                                        "puts them in place at its next start."),
                             {std::to_string(hidden)})
            << "\n";
    return kDone;
}

int retry(std::ostream& out, std::ostream& err, Outbox& outbox, const Submitter& submit, int64_t now,
          SentJournal& journal, const LogSink& log)
{
    RetryRun run = retryDue(outbox, submit, now, true, log);
    if (run.busy) {
        err << translated("OutboxCommand", "Another KORVA Fax is sending the outbox; try again later.") << "\n";
        return kNotDone;
    }
    int result = kDone;
    for (const RetryOutcome& outcome : run.outcomes) {
        out << outcome.id << ": " << (outcome.sent ? translated("OutboxCommand", "sent") : shownReason(outcome.reason))
            << "\n";
        if (outcome.sent)
            if (Result<void> noted = journal.append(sentRecordOf(outcome.job, SentHow::FromOutbox, now)); !noted)
                err << withArguments(
                           translated("OutboxCommand", "The sent fax %1 could not be noted in %2 (error %3)."),
                           {outcome.id, journal.path(), std::to_string(noted.code())})
                    << "\n";
        if (!outcome.sent)
            result = kNotDone;
    }
    for (const OutboxEntry& entry : outbox.list())
        if (entry.state == OutboxState::NeedsDialog) {
            out << entry.id << ": " << translated("OutboxCommand", "no recipients, waits for the Send Fax dialog")
                << "\n";
            result = kNotDone;
        }
    if (run.outcomes.empty() && result == kDone)
        out << translated("OutboxCommand", "The outbox is empty.") << "\n";
    return result;
}

int drop(std::ostream& out, std::ostream& err, Outbox& outbox, const std::string& id)
{
    OutboxEntry entry;
    if (!outbox.load(id, entry)) {
        err << withArguments(translated("OutboxCommand", "There is no fax %1 in the outbox; --outbox lists them."),
                             {id})
            << "\n";
        return kUsage;
    }
    if (!outbox.drop(id)) {
        err << withArguments(translated("OutboxCommand", "The fax %1 could not be removed from %2."),
                             {id, outbox.folder()})
            << "\n";
        return kNotDone;
    }
    out << withArguments(translated("OutboxCommand", "Removed %1 from the outbox."), {id}) << "\n";
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
    err << translated("OutboxCommand", "Usage: faxcourier --outbox | --outbox-retry | --outbox-drop ID | --sent")
        << "\n";
    return kUsage;
}

}  // namespace korva
