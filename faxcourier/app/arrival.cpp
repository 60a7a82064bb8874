#include "faxcourier/app/arrival.h"

#include "faxcourier/app/record_check.h"

#include "controlarea/control_area.h"
#include "controlarea/job_preset.h"
#include "controlarea/waiting_documents.h"
#include "faxcourier/app/taken_documents.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/outbox/outbox.h"
#include "faxcourier/pipeline/conversion.h"
#include "faxcourier/pipeline/watch_file.h"
#include "platform/file_ops.h"

#include <ctime>
#include <optional>
#include <strings.h>
#include <utility>

namespace korva::app {
namespace {

constexpr char fileTargetPrefix[] = "~~filetarget~~";
constexpr size_t fileTargetPrefixLength = sizeof fileTargetPrefix - 1;

// What follows the prefix: the path, after a "*" when the print-finished
// event is wanted (faxconvert's subjects have it).
ConversionTarget fileTargetOf(const std::string& text)
{
    if (text.starts_with('*'))
        return {text.substr(1), true};
    return {text};
}

}  // namespace

// One print file waiting to be taken, with the record it was printed with.
struct ArrivalHandler::PrintSource {
    std::string file;
    ControlRecord record{};
    std::optional<WaitingDocument> kept;
    std::optional<WaitingDocument> taken;  // already in "<spool>/taken/"
};

ArrivalHandler::ArrivalHandler(FaxJob& job, PipelineState& state, std::string spoolFolder, Converter& converter,
                               ArrivalUi& ui, Submitter submit)
    : job_(job),
      state_(state),
      spoolFolder_(std::move(spoolFolder)),
      converter_(converter),
      ui_(ui),
      submit_(std::move(submit)),
      now_([] { return int64_t(std::time(nullptr)); })
{
}

std::string ArrivalHandler::watchFile() const { return watchFilePath(spoolFolder_); }

std::string ArrivalHandler::targetFile(int number) const { return workFilePath(spoolFolder_, number); }

void ArrivalHandler::setRetryTimer(RetryTimer timer, Clock now)
{
    retryTimer_ = std::move(timer);
    if (now)
        now_ = std::move(now);
}

bool ArrivalHandler::documentsWaiting() const
{
    return (handOverDue() && korva::documentsWaiting(spoolFolder_)) || dueTakenDocument().has_value();
}

void ArrivalHandler::onDocumentWaiting()
{
    // Announced (a retry falling due) while the progress loop runs: the
    // arrival under way looks for more when it ends.
    if (converting_)
        return;
    PrintSource source;
    if (takeNextSource(source))
        handle(source);
    else
        state_.pipelineBusy = false;
    // A document the program's end stopped stays for the next run.
    if (announceNext_ && !ui_.quitRequested() && documentsWaiting())
        announceNext_();
}

// Documents taken before come first: a killed run's were older than anything
// printed since. The watch file is the oldest of the rest: the exit library
// keeps documents behind it only while it waits.
bool ArrivalHandler::takeNextSource(PrintSource& source)
{
    if (std::optional<WaitingDocument> taken = dueTakenDocument()) {
        source.file = taken->printFile;
        source.taken = taken;
        auto record = readWaitingRecord(*taken);
        source.record = record.valueOr(ControlRecord{});
        if (!record)
            LogAlways(1, "No record kept with %s; it waits for recipients\n", taken->printFile.c_str());
        return true;
    }
    if (!handOverDue())
        return false;
    if (watchFileWaiting(spoolFolder_)) {
        source.file = watchFile();
        if (!readControlRecord(source.record))
            LogAlways(1, "The control data cannot be read; the document waits for recipients\n");
        return true;
    }
    std::optional<WaitingDocument> kept = oldestWaitingDocument(spoolFolder_);
    if (!kept)
        return false;
    source.file = kept->printFile;
    source.kept = kept;
    auto record = readWaitingRecord(*kept);
    source.record = record.valueOr(ControlRecord{});
    if (!record)
        LogAlways(1, "No record kept with %s; it waits for recipients\n", kept->printFile.c_str());
    return true;
}

std::optional<WaitingDocument> ArrivalHandler::dueTakenDocument() const
{
    const int64_t now = now_();
    for (const WaitingDocument& taken : listTakenDocuments(spoolFolder_)) {
        if (inHand_.count(taken.printFile))
            continue;
        auto parked = parked_.find(taken.printFile);
        if (parked == parked_.end() || parked->second.due <= now)
            return taken;
    }
    return std::nullopt;
}

void ArrivalHandler::handle(PrintSource& source)
{
    FaxDocument entry;
    std::string target = targetFile(++state_.printFileCounter);
    job_.subject.Clear();
    job_.recipients.clear();
    takePreset(source.record, entry);
    if (job_.subject.CompareNoCaseN(fileTargetPrefix, fileTargetPrefixLength) == 0) {
        if (std::optional<WaitingDocument> taken = takePrintFile(source))
            startFileTarget(*taken);
        state_.pipelineBusy = false;
        return;
    }

    bool adding = false;
    if (ui_.sendFaxDialogOpen()) {
        if (!ui_.askToAddDocument()) {
            dropSource(source);  // the box says it will not be sent
            state_.pipelineBusy = false;
            return;
        }
        ui_.setSendFaxDialogEnabled(false);
        adding = true;
    }

    const std::optional<WaitingDocument> taken = takePrintFile(source);
    if (!taken) {
        if (adding)
            ui_.setSendFaxDialogEnabled(true);
        state_.pipelineBusy = false;
        return;
    }
    entry.file = target.c_str();
    inHand_.insert(taken->printFile);
    const Outcome outcome = convert(taken->printFile, target);
    entry.pages = outcome.pages;
    afterConversion(entry, *taken, outcome, adding);
}

void ArrivalHandler::afterConversion(const FaxDocument& entry, const WaitingDocument& taken, const Outcome& outcome,
                                     bool adding)
{
    const std::string target = entry.file.Text();
    if (outcome.stopped || outcome.writeFailed) {
        // The program ends, or the disk is full: what was printed stays in
        // taken/ with its record, for the next run or the next try. One the
        // user cancelled has been set aside; should that have failed, it
        // waits in taken/ without being converted again in this run.
        if (outcome.cancelled && !fileExists(taken.printFile))
            release(taken);
        else if (outcome.cancelled)
            LogAlways(0, "The cancelled document stays in %s\n", taken.printFile.c_str());
        else
            inHand_.erase(taken.printFile);
        if (outcome.writeFailed)
            park(taken);
        if (adding)
            ui_.setSendFaxDialogEnabled(true);
        state_.pipelineBusy = false;
        return;
    }
    if (entry.pages == 0) {
        // The conversion has told the user why and set the print file aside;
        // an empty fax is never sent.
        LogAlways(1, "The printed document \"%s\" gave no fax pages and is not faxed\n", entry.name.Text());
        discardFile(target);
        // One that could not be set aside stays in taken/ for the next run.
        if (fileExists(taken.printFile))
            inHand_.erase(taken.printFile);
        else
            release(taken);
    } else {
        if (!adding) {
            releaseJobDocuments();
            job_.documents.clear();
        }
        job_.documents.push_back(entry);
        jobTaken_.push_back(taken);
    }
    if (adding) {
        ui_.setSendFaxDialogEnabled(true);
        ui_.redrawSendFaxDocuments();
        state_.pipelineBusy = false;
        return;
    }
    if (entry.pages == 0) {
        state_.pipelineBusy = false;
        return;
    }
    sendOrOffer();
}

void ArrivalHandler::sendOrOffer()
{
    bool sent = false;
    if (!ui_.quitRequested() && !job_.recipients.empty()) {
        // A scripted fax never carries a comment left by an earlier dialog.
        job_.comments.Clear();
        sent = submit_();
    }
    if (sent) {
        closeJob();
        state_.pipelineBusy = false;
        return;
    }
    if (ui_.quitRequested() || !ui_.canShowDialogs()) {
        keepUnsent(false);
        state_.pipelineBusy = false;
        return;
    }
    state_.pipelineBusy = false;
    // A document announced meanwhile keeps the watcher waiting for it.
    // Ended by the program's end, the job holds what the dialog held: the
    // user's last word, which only the dialog may send.
    if (!ui_.showSendFaxDialog() && ui_.quitRequested())
        keepUnsent(true);
    else
        closeJob();
}

// Moves the print file into taken/ with its record at once, so the exit
// library can hand over the next document, nothing takes this one twice,
// and a run that dies leaves it for the next. Empty when it could not be
// taken.
std::optional<WaitingDocument> ArrivalHandler::takePrintFile(const PrintSource& source)
{
    if (source.taken)
        return source.taken;
    WaitingDocument taken;
    if (int error = takeDocument(spoolFolder_, source.file, source.record, taken)) {
        LogAlways(1, "Cannot take the print file %s - %d\n", source.file.c_str(), error);
        // It stays where it is; taking it again at once would fail again.
        schedule(takeFailures_, source.file);
        return std::nullopt;
    }
    takeFailures_ = Parked{};
    if (source.kept)
        forgetWaitingRecord(*source.kept);
    return taken;
}

void ArrivalHandler::dropSource(const PrintSource& source)
{
    LogAlways(0, "Printed document %s dropped: not added to the fax being prepared\n", source.file.c_str());
    discardFile(source.file);
    if (source.kept)
        forgetWaitingRecord(*source.kept);
    if (source.taken)
        release(*source.taken);
}

void ArrivalHandler::takePreset(const ControlRecord& record, FaxDocument& entry)
{
    JobPreset preset = readJobPreset(record, job_.coverPage.Text());
    job_.subject = preset.subject.c_str();
    job_.coverPage = preset.coverPage.c_str();
    entry.name = preset.documentName.c_str();
    for (const std::string& line : preset.recipients)
        job_.recipients.emplace_back(line.c_str());
    if (std::string field = refusedRecordField(record); !field.empty()) {
        LogAlways(0,
                  "The control record's %s is not fit to be faxed unseen; the document waits for the Send Fax dialog\n",
                  field.c_str());
        job_.recipients.clear();
    }
}

void ArrivalHandler::startFileTarget(const WaitingDocument& taken)
{
    // Not waited for: the conversion ends by itself and deletes the print
    // file and its record. Until this run ends, nothing takes it again.
    inHand_.insert(taken.printFile);
    converter_.start(taken.printFile, fileTargetOf(job_.subject.Mid(fileTargetPrefixLength).Text()), nullptr,
                     taken.recordFile);
}

ArrivalHandler::Outcome ArrivalHandler::convert(const std::string& printFile, const std::string& target)
{
    Outcome outcome;
    std::unique_ptr<Conversion> conversion;
    converting_ = true;
    if (job_.recipients.empty() && ui_.canShowDialogs())
        conversion = ui_.convertWithProgress(
            [&](ProgressTarget* progress) { return converter_.start(printFile, {target}, progress, ""); });
    else
        conversion = converter_.start(printFile, {target}, nullptr, "");
    if (conversion) {
        conversion->wait();
        outcome = {conversion->pageCount(), conversion->stopped(), conversion->writeFailed(),
                   conversion->stopped() && conversion->cancelled()};
    }
    converting_ = false;
    return outcome;
}

// The job was not sent and no dialog can take it now: it waits in the
// outbox. When the outbox cannot take it, its print files wait in taken/
// and are tried again later.
void ArrivalHandler::keepUnsent(bool forDialog)
{
    if (outbox_ && outbox_(job_, forDialog)) {
        releaseJobDocuments();
    } else {
        for (const FaxDocument& document : job_.documents)
            LogAlways(0, "The unsent fax document stays in %s\n", document.file.Text());
        for (const WaitingDocument& taken : std::exchange(jobTaken_, {})) {
            inHand_.erase(taken.printFile);
            park(taken);
        }
    }
    job_.recipients.clear();
    job_.documents.clear();
}

void ArrivalHandler::closeJob()
{
    job_.recipients.clear();
    for (const FaxDocument& document : job_.documents)
        discardFile(document.file.Text());
    job_.documents.clear();
    releaseJobDocuments();
}

// The next try after the outbox's back-off: 30 s, doubling up to 15 min.
void ArrivalHandler::park(const WaitingDocument& taken) { schedule(parked_[taken.printFile], taken.printFile); }

void ArrivalHandler::schedule(Parked& parked, const std::string& what)
{
    const std::chrono::seconds delay = retryDelay(++parked.attempts);
    parked.due = now_() + delay.count();
    LogAlways(1, "%s is tried again in %lld s\n", what.c_str(), static_cast<long long>(delay.count()));
    if (retryTimer_)
        retryTimer_(delay);
}

void ArrivalHandler::release(const WaitingDocument& taken)
{
    // One still under its own name stays in hand: this run never takes it again.
    if (releaseTakenDocument(taken))
        inHand_.erase(taken.printFile);
    parked_.erase(taken.printFile);
}

void ArrivalHandler::releaseJobDocuments()
{
    for (const WaitingDocument& taken : std::exchange(jobTaken_, {}))
        release(taken);
}

}  // namespace korva::app
