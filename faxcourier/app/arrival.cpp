#include "faxcourier/app/arrival.h"

#include "faxcourier/app/record_check.h"

#include "controlarea/control_area.h"
#include "controlarea/job_preset.h"
#include "controlarea/waiting_documents.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/pipeline/conversion.h"
#include "faxcourier/pipeline/watch_file.h"
#include "platform/file_ops.h"

#include <optional>
#include <strings.h>

namespace korva::app {
namespace {

constexpr char fileTargetPrefix[] = "~~filetarget~~";
constexpr size_t fileTargetPrefixLength = sizeof fileTargetPrefix - 1;

}  // namespace

// One print file waiting to be taken, with the record it was printed with.
struct ArrivalHandler::PrintSource {
    std::string file;
    ControlRecord record{};
    std::optional<WaitingDocument> kept;
};

ArrivalHandler::ArrivalHandler(FaxJob& job, PipelineState& state, std::string spoolFolder, Converter& converter,
                               ArrivalUi& ui, Submitter submit)
    : job_(job),
      state_(state),
      spoolFolder_(std::move(spoolFolder)),
      converter_(converter),
      ui_(ui),
      submit_(std::move(submit))
{
}

std::string ArrivalHandler::watchFile() const { return watchFilePath(spoolFolder_); }

std::string ArrivalHandler::targetFile(int number) const { return workFilePath(spoolFolder_, number); }

void ArrivalHandler::onDocumentWaiting()
{
    PrintSource source;
    if (takeNextSource(source))
        handle(source);
    else
        state_.pipelineBusy = false;
    if (announceNext_ && documentsWaiting(spoolFolder_))
        announceNext_();
}

// The watch file is always the oldest: the exit library keeps documents
// behind it only while it waits.
bool ArrivalHandler::takeNextSource(PrintSource& source)
{
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
    if (!readWaitingRecord(*kept, source.record))
        LogAlways(1, "No record kept with %s; it waits for recipients\n", kept->printFile.c_str());
    return true;
}

void ArrivalHandler::handle(PrintSource& source)
{
    FaxDocument entry;
    std::string target = targetFile(++state_.printFileCounter);
    job_.subject.Clear();
    job_.recipients.clear();
    takePreset(source.record, entry);
    if (job_.subject.CompareNoCaseN(fileTargetPrefix, fileTargetPrefixLength) == 0) {
        startFileTarget(takePrintFile(source));
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

    const std::string printFile = takePrintFile(source);
    entry.file = target.c_str();
    bool stopped = false;
    entry.pages = printFile.empty() ? 0 : convert(printFile, target, stopped);
    if (stopped) {
        // The program ends: what was printed goes back to the front of the
        // queue with its record, for the next run.
        if (int error = keepWaitingDocument(spoolFolder_, printFile, source.record, true))
            LogAlways(1, "Cannot keep %s for the next run - %d\n", printFile.c_str(), error);
        if (adding)
            ui_.setSendFaxDialogEnabled(true);
        state_.pipelineBusy = false;
        return;
    }
    if (entry.pages == 0) {
        // The conversion has told the user why; an empty fax is never sent.
        LogAlways(1, "The printed document \"%s\" gave no fax pages and is not faxed\n", entry.name.Text());
        deleteFile(target);
    } else {
        if (!adding)
            job_.documents.clear();
        job_.documents.push_back(entry);
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

// Renames the print file to a numbered work file of its own at once, so the
// exit library can hand over the next document, and nothing takes this one
// twice. Empty when it could not be taken.
std::string ArrivalHandler::takePrintFile(const PrintSource& source)
{
    std::string workFile = workFilePath(spoolFolder_, ++state_.printFileCounter);
    deleteFile(workFile);
    if (int error = moveFile(source.file, workFile)) {
        LogAlways(1, "Cannot take the print file %s - %d\n", source.file.c_str(), error);
        return std::string();
    }
    if (source.kept)
        forgetWaitingRecord(*source.kept);
    return workFile;
}

void ArrivalHandler::dropSource(const PrintSource& source)
{
    LogAlways(0, "Printed document %s dropped: not added to the fax being prepared\n", source.file.c_str());
    deleteFile(source.file);
    if (source.kept)
        forgetWaitingRecord(*source.kept);
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

bool ArrivalHandler::startFileTarget(const std::string& printFile)
{
    if (printFile.empty())
        return false;
    // Not waited for: the conversion ends by itself.
    converter_.start(printFile, job_.subject.Mid(fileTargetPrefixLength).Text(), nullptr);
    return true;
}

uint32_t ArrivalHandler::convert(const std::string& printFile, const std::string& target, bool& stopped)
{
    std::unique_ptr<Conversion> conversion;
    if (job_.recipients.empty() && ui_.canShowDialogs())
        conversion = ui_.convertWithProgress(
            [&](ProgressTarget* progress) { return converter_.start(printFile, target, progress); });
    else
        conversion = converter_.start(printFile, target, nullptr);
    if (!conversion)
        return 0;
    conversion->wait();
    stopped = conversion->stopped();
    return conversion->pageCount();
}

// The job was not sent and no dialog can take it now: it waits in the
// outbox. Without one, its files stay in the spool folder, where the next
// start sets them aside for the user.
void ArrivalHandler::keepUnsent(bool forDialog)
{
    if (!outbox_ || !outbox_(job_, forDialog)) {
        for (const FaxDocument& document : job_.documents)
            LogAlways(0, "The unsent fax document stays in %s\n", document.file.Text());
    }
    job_.recipients.clear();
    job_.documents.clear();
}

void ArrivalHandler::closeJob()
{
    job_.recipients.clear();
    for (const FaxDocument& document : job_.documents)
        deleteFile(document.file.Text());
    job_.documents.clear();
}

}  // namespace korva::app
