#pragma once
// What the main window does when a print file waits: take the oldest one
// (a document an earlier try or run had taken, then the watch file, then the
// documents kept behind it) with its control record into "<spool>/taken/",
// where it stays until its fax is accepted or in the outbox; then convert
// into a file target, send at once when recipients are preset, or hand the job to the Send Fax dialog; afterwards the
// job is closed and its converted files deleted. A job that was not sent and that no dialog can take (no display, or
// the program ends) goes to the outbox instead of being deleted. A document that could not be written (disk full) is
// taken again after the outbox's back-off. Qt-free: the dialogs and the conversion thread are reached through the
// interfaces below, so that tests drive every branch.

#include "controlarea/control_record.h"
#include "controlarea/waiting_documents.h"
#include "faxcourier/pipeline/messages.h"
#include "faxcourier/pipeline/pipeline_state.h"
#include "faxcourier/settings/fax_job.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace korva::app {

// One running conversion of the watch file into a target file.
class Conversion {
public:
    // Dropping a conversion does not wait for it; its converter does, when
    // it ends.
    virtual ~Conversion() = default;
    virtual void wait() = 0;
    // The print file's page count; read after wait().
    virtual uint32_t pageCount() const = 0;
    // True when it stopped for the program's end or a cancel and left its
    // print file whole; read after wait().
    virtual bool stopped() const { return false; }
    // The user's Cancel: stops before the next page, from any thread.
    virtual void cancel() {}
    virtual bool cancelled() const { return false; }
    // True when a page could not be written (disk full ...): nothing was
    // stored and the print file is whole; read after wait().
    virtual bool writeFailed() const { return false; }
};

// Where a conversion writes its fax document.
struct ConversionTarget {
    std::string path;
    // Sets the print-finished event once the document is written.
    bool setFinishedEvent = false;
};

class Converter {
public:
    virtual ~Converter() = default;
    // Starts converting `printFile` (already taken out of the hand-over
    // names) into `target`. Progress goes to `progress` when not null. With `printRecord`
    // empty the print file is left to the caller; otherwise (a file target,
    // not waited for) the conversion deletes the print file and then that
    // record when it is done with them.
    virtual std::unique_ptr<Conversion> start(const std::string& printFile, const ConversionTarget& target,
                                              ProgressTarget* progress, const std::string& printRecord) = 0;
};

// The windows that an arrival touches.
class ArrivalUi {
public:
    virtual ~ArrivalUi() = default;
    virtual bool sendFaxDialogOpen() = 0;
    // "An fax is already being prepared ..." in a box owned by the dialog;
    // true only for Yes.
    virtual bool askToAddDocument() = 0;
    virtual void setSendFaxDialogEnabled(bool enabled) = 0;
    virtual void redrawSendFaxDocuments() = 0;  // posts 0x8005 to the dialog
    // Creates the progress dialog, lets `start` begin the conversion with it
    // as progress target, runs a nested loop until the conversion reports
    // that it is done, and destroys the dialog. Returns the conversion.
    virtual std::unique_ptr<Conversion> convertWithProgress(
        const std::function<std::unique_ptr<Conversion>(ProgressTarget*)>& start) = 0;
    // Modal, no owner; true when the dialog sent the fax.
    virtual bool showSendFaxDialog() = 0;
    // True once the program has been asked to end (the loops are ending).
    virtual bool quitRequested() = 0;
    // False without a display: then no dialog may wait for an answer.
    virtual bool canShowDialogs() { return true; }
};

class ArrivalHandler {
public:
    using Submitter = std::function<bool()>;  // SubmitFax without owner
    // Stores the unsent job in the outbox; true when its documents are there.
    // `forDialog`: it waits for the Send Fax dialog whatever its recipients.
    using Outbox = std::function<bool(FaxJob&, bool forDialog)>;
    ArrivalHandler(FaxJob& job, PipelineState& state, std::string spoolFolder, Converter& converter, ArrivalUi& ui,
                   Submitter submit);

    void setOutbox(Outbox outbox) { outbox_ = std::move(outbox); }
    // Called when a handled document leaves more waiting (posts 0x8000).
    void setAnnounceNext(std::function<void()> announce) { announceNext_ = std::move(announce); }
    // Seconds since the epoch.
    using Clock = std::function<int64_t()>;
    // Asked to post 0x8000 after the delay, when a document waits to be
    // taken again.
    using RetryTimer = std::function<void(std::chrono::seconds)>;
    void setRetryTimer(RetryTimer timer, Clock now = {});

    // True when a document may be taken now: the watch file, a kept one, or
    // a taken one that is due.
    bool documentsWaiting() const;

    // Message 0x8000.
    void onDocumentWaiting();

    std::string watchFile() const;
    std::string targetFile(int number) const;

private:
    struct PrintSource;
    struct Outcome {
        uint32_t pages = 0;
        bool stopped = false;      // the program's end or the user cut it short
        bool writeFailed = false;  // nothing stored; may work later
        bool cancelled = false;    // the user cut it short
    };
    // A taken document that could not be faxed for a cause that can pass.
    struct Parked {
        int attempts = 0;
        int64_t due = 0;
    };
    void handle(PrintSource& source);
    bool takeNextSource(PrintSource& source);
    std::optional<WaitingDocument> dueTakenDocument() const;
    bool handOverDue() const { return takeFailures_.due <= now_(); }
    void schedule(Parked& parked, const std::string& what);
    std::optional<WaitingDocument> takePrintFile(const PrintSource& source);
    void dropSource(const PrintSource& source);
    void takePreset(const ControlRecord& record, FaxDocument& entry);
    void startFileTarget(const WaitingDocument& taken);
    Outcome convert(const std::string& printFile, const std::string& target);
    void afterConversion(const FaxDocument& entry, const WaitingDocument& taken, const Outcome& outcome, bool adding);
    void sendOrOffer();
    void keepUnsent(bool forDialog);
    void closeJob();
    void park(const WaitingDocument& taken);
    void release(const WaitingDocument& taken);
    void releaseJobDocuments();

    FaxJob& job_;
    PipelineState& state_;
    std::string spoolFolder_;
    Converter& converter_;
    ArrivalUi& ui_;
    Submitter submit_;
    Outbox outbox_;
    std::function<void()> announceNext_;
    RetryTimer retryTimer_;
    Clock now_;
    // Taken print files: being handled (a file target's until the run ends),
    // or waiting for their next try.
    std::set<std::string> inHand_;
    std::map<std::string, Parked> parked_;
    // When taking into taken/ fails (disk full), the hand-over names wait.
    Parked takeFailures_;
    // The taken documents of the job being prepared, released when it closes.
    std::vector<WaitingDocument> jobTaken_;
    bool converting_ = false;
};

}  // namespace korva::app
