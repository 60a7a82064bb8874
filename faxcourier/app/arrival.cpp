#include "faxcourier/app/arrival.h"

#include "controlarea/control_area.h"
#include "controlarea/job_preset.h"
#include "faxcourier/pipeline/watch_file.h"
#include "platform/file_ops.h"

#include <strings.h>

namespace korva::app {
namespace {

constexpr char fileTargetPrefix[] = "~~filetarget~~";
constexpr size_t fileTargetPrefixLength = sizeof fileTargetPrefix - 1;

}  // namespace

ArrivalHandler::ArrivalHandler(FaxJob& job, PipelineState& state, std::string spoolFolder, Converter& converter,
                               ArrivalUi& ui, Submitter submit)
    : job_(job), state_(state), spoolFolder_(std::move(spoolFolder)), converter_(converter), ui_(ui),
      submit_(std::move(submit))
{
}

std::string ArrivalHandler::watchFile() const { return watchFilePath(spoolFolder_); }

std::string ArrivalHandler::targetFile(int number) const
{
    return spoolFolder_ + "/korvafax" + std::to_string(number) + ".tif";
}

void ArrivalHandler::onDocumentWaiting()
{
    FaxDocument entry;
    std::string target = targetFile(++state_.printFileCounter);
    if (!fileExists(watchFile())) {
        state_.pipelineBusy = false;
        return;
    }
    job_.subject.Clear();
    job_.recipients.clear();
    takePreset(entry);
    if (startFileTarget()) {
        state_.pipelineBusy = false;
        return;
    }

    bool adding = false;
    if (ui_.sendFaxDialogOpen()) {
        if (!ui_.askToAddDocument()) {
            state_.pipelineBusy = false;  // the watch file stays for the next print to replace
            return;
        }
        ui_.setSendFaxDialogEnabled(false);
        adding = true;
    }

    entry.file = target.c_str();
    entry.pages = convert(target);
    if (!adding)
        job_.documents.clear();
    job_.documents.push_back(entry);
    if (adding) {
        ui_.setSendFaxDialogEnabled(true);
        ui_.redrawSendFaxDocuments();
        state_.pipelineBusy = false;
        return;
    }

    if (!ui_.quitRequested()) {
        bool sent = false;
        if (!job_.recipients.empty()) {
            // A scripted fax never carries a comment left by an earlier dialog.
            job_.comments.Clear();
            sent = submit_();
        }
        if (!sent) {
            state_.pipelineBusy = false;
            ui_.showSendFaxDialog();
            closeJob();
            return;  // a document announced meanwhile keeps the watcher waiting for it
        }
    }
    closeJob();
    state_.pipelineBusy = false;
}

void ArrivalHandler::takePreset(FaxDocument& entry)
{
    ControlRecord record{};
    readControlRecord(record);
    JobPreset preset = readJobPreset(record, job_.coverPage.Text());
    job_.subject = preset.subject.c_str();
    job_.coverPage = preset.coverPage.c_str();
    entry.name = preset.documentName.c_str();
    for (const std::string& line : preset.recipients)
        job_.recipients.emplace_back(line.c_str());
}

bool ArrivalHandler::startFileTarget()
{
    if (job_.subject.CompareNoCaseN(fileTargetPrefix, fileTargetPrefixLength) != 0)
        return false;
    // Not waited for: the conversion ends by itself.
    converter_.start(job_.subject.Mid(fileTargetPrefixLength).Text(), nullptr);
    return true;
}

uint32_t ArrivalHandler::convert(const std::string& target)
{
    std::unique_ptr<Conversion> conversion;
    if (job_.recipients.empty())
        conversion = ui_.convertWithProgress(
            [&](ProgressTarget* progress) { return converter_.start(target, progress); });
    else
        conversion = converter_.start(target, nullptr);
    if (!conversion)
        return 0;
    conversion->wait();
    return conversion->pageCount();
}

void ArrivalHandler::closeJob()
{
    job_.recipients.clear();
    for (const FaxDocument& document : job_.documents)
        deleteFile(document.file.Text());
    job_.documents.clear();
}

}  // namespace korva::app
