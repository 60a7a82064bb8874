#include "faxcourier/app/courier.h"

#include "controlarea/control_area.h"
#include "controlarea/stranded_documents.h"
#include "controlarea/waiting_documents.h"
#include "faxcourier/app/arrival_ui.h"
#include "faxcourier/app/configure_dialog.h"
#include "faxcourier/app/courier_bus.h"
#include "faxcourier/app/desktop_notice.h"
#include "faxcourier/app/leftover_documents.h"
#include "faxcourier/app/main_window.h"
#include "faxcourier/app/outbox_keeper.h"
#include "faxcourier/app/outbox_window.h"
#include "faxcourier/app/password_keyring.h"
#include "faxcourier/app/quit_question.h"
#include "faxcourier/app/quit_signals.h"
#include "faxcourier/app/send_fax_dialog.h"
#include "faxcourier/app/startup_rules.h"
#include "faxcourier/app/status_icon.h"
#include "faxcourier/app/tif_launch.h"
#include "faxcourier/app/window_activation.h"
#include "faxcourier/foundation/log.h"
#include "faxcourier/outbox/fax_notice_text.h"
#include "faxcourier/outbox/sent_journal.h"
#include "faxcourier/outbox/server_submitter.h"
#include "faxcourier/pipeline/spool_watcher.h"
#include "faxcourier/pipeline/watch_file.h"
#include "faxcourier/settings/fax_job.h"
#include "faxcourier/settings/mail_client_import.h"
#include "faxcourier/settings/settings.h"
#include "faxcourier/widgets/address_book_hook.h"
#include "faxcourier/widgets/app_icon.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/quit_request.h"
#include "faxcourier/widgets/ui_seam.h"
#include "faxcourier/widgets/ui_sinks.h"
#include "platform/paths.h"
#include "platform/translation.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cerrno>
#include <ctime>
#include <iostream>

namespace korva::app {
namespace {

// Before this run numbers its files from 1 again. The notice does not wait
// for a click: on a machine without a desktop nobody would give one.
void reportLeftoverDocuments(const std::string& spoolFolder)
{
    const SetAsideDocuments documents = setAsideLeftoverDocuments(spoolFolder);
    const std::string notice = leftoverNotice(documents);
    if (notice.empty())
        return;
    LogAlways(0, "%s\n", notice.c_str());
    const QString shown = QString::fromStdString(leftoverNotice(documents, korva::translated));
    auto* box = new QMessageBox(QMessageBox::Warning, "KORVA Fax", shown, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

// Half a print of a printer that died, a kept document without its record:
// nothing would take them, so they go to unsent/ and the user is told where.
void reportStrandedDocuments(const std::string& spoolFolder)
{
    auto swept = setAsideStrandedDocuments(spoolFolder);
    if (!swept) {
        LogAlways(1, "Unable to take the hand-over lock in %s (error %d)\n", spoolFolder.c_str(), swept.code());
        return;
    }
    const StrandedDocuments& stranded = *swept;
    for (const std::string& file : stranded.files)
        LogAlways(1, "Set aside %s: nothing would take it\n", file.c_str());
    for (const std::string& record : stranded.lonelyRecords)
        LogAlways(1, "Removed %s: a record without its document\n", record.c_str());
    std::string notice = strandedNotice(stranded);
    if (!notice.empty())
        showDesktopLine(notice);
}

// For the Sent tab and --sent: a fax that cannot be noted is still sent.
void noteSentFax(const FaxJob& job, SentHow how)
{
    SentJournal journal(SentJournal::defaultPath());
    if (Result<void> noted = journal.append(sentRecordOf(job, how, static_cast<int64_t>(std::time(nullptr)))); !noted)
        LogAlways(0, "The sent fax could not be noted in %s (error %d)\n", journal.path().c_str(), noted.code());
}

// What a second start tells on its terminal, by the running one's bus method.
QString openedWindowText(const std::string& method)
{
    if (method == "openAddressBook")
        return QCoreApplication::translate("Courier", "faxcourier already runs; asked it to open the Fax Address Book");
    if (method == "openOutboxWindow")
        return QCoreApplication::translate("Courier", "faxcourier already runs; asked it to open the Outbox window");
    return QCoreApplication::translate("Courier", "faxcourier already runs; asked it to open Configure");
}

}  // namespace

Courier::Courier(SubmitFn submit, ConverterFactory makeConverter) : makeConverter_(std::move(makeConverter))
{
    // Every fax the server accepts, from a dialog or preset, is told on the
    // desktop: an automatic one shows nothing else.
    submit_ = [submit = std::move(submit)](QWidget* owner, SubmitReport* report) {
        bool accepted = submit(owner, report);
        if (accepted) {
            showDesktopNotice(noticeOf(faxNoticeText(FaxNoticeKind::Sent, globalFaxJob()),
                                       faxNoticeText(FaxNoticeKind::Sent, globalFaxJob(), {}, Wording::English)));
            noteSentFax(globalFaxJob(), owner ? SentHow::ByHand : SentHow::AtOnce);
        }
        return accepted;
    };
}

Courier::~Courier()
{
    // Only where it was set: a second start must not reach for the
    // notification service on its way out.
    if (outboxOpenerSet_)
        setOutboxOpener({});
    outboxWindow_.reset();
    delete configure_;
    if (watcher_)
        watcher_->stop(5000);
}

MainWindow& Courier::mainWindow() { return *window_; }
bool Courier::watcherRunning() const { return watcher_ != nullptr; }

void Courier::startUp(const std::vector<std::string>& arguments)
{
    makeMainWindow();
    if (!loadSettingsAndControlArea(arguments))
        return;
    tif_ = findTifViewerWithDesktop();
    LogDebug("Starting\n");

    spoolFolder_ = controlAreaSpoolFolder();
    if (!markRunning(arguments))
        return;
    publishOnBus();
    showStatusIcon();
    openAskedWindow(arguments);
    if (presence_.held()) {
        reportLeftoverDocuments(spoolFolder_);
        reportStrandedDocuments(spoolFolder_);
    }
    LogDebug("Watch file - %s\n", watchFilePath(spoolFolder_).c_str());
    startArrival();
    startWatcher();
    // Before the outbox's first notice: the service is asked what it shows
    // while the rest starts.
    setOutboxOpener([this] { openOutboxWindow(); });
    outboxOpenerSet_ = true;
    startOutbox();
    // Documents printed while no faxcourier ran, or that a run before this
    // one had not taken or not sent yet: the watcher only announces changes.
    if (arrival_->documentsWaiting())
        windowTarget_->postMessage(kDocumentWaiting, 0);
}

// The hidden window that takes the watcher's messages, and the message
// boxes and quit signals everything after it may need.
void Courier::makeMainWindow()
{
    QApplication::setQuitOnLastWindowClosed(false);
    sinks_ = std::make_unique<InstalledBoxSinks>();
    errorSink_ = std::make_unique<BoxErrorSink>();
    window_ = std::make_unique<MainWindow>();
    windowTarget_ = std::make_unique<PostedMessageTarget>(window_.get());
    signals_ = std::make_unique<QuitSignals>();
    QObject::connect(signals_.get(), &QuitSignals::signalled, [](int) { requestQuit(); });
    smallIcon();
}

// False when the run must end: the spool folder is not safe to use.
bool Courier::loadSettingsAndControlArea(const std::vector<std::string>& arguments)
{
    Settings& settings = globalSettings();
    LoadSettings(settings);
    setDebugLogging(settings.Debug);
    takePasswordFromKeyring(settings);
    if (!openControlArea() && endForUnsafeSpoolFolder())
        return false;
    if (debugSwitchGiven(arguments))
        setDebugLogging(true);
    if (settings.Server.IsEmpty()) {
        settings.configurationNeeded = true;
        ImportMailClientDefaults(settings);
    }
    return true;
}

// Held for the whole run: the exit library then waits for a document we
// have not taken instead of replacing it. A second faxcourier of the same
// user would race the first for every document, so it ends here (false).
bool Courier::markRunning(const std::vector<std::string>& arguments)
{
    auto held = presence_.hold(spoolFolder_);
    if (held.code() == EWOULDBLOCK) {
        endForSecondStart(arguments);
        return false;
    }
    if (!held)
        logNotMarkedRunning(held.code());
    return true;
}

void Courier::logNotMarkedRunning(int error) const
{
    LogAlways(0, "Unable to mark faxcourier as running in %s (error %d)\n", spoolFolder_.c_str(), error);
}

// Before the watcher starts: once it logs that it watches, a second start
// finds this one on the bus.
void Courier::publishOnBus()
{
    bus_ = std::make_unique<CourierBus>(CourierBus::Requests{[this](const QString& token) { openConfigure(token); },
                                                             [this](const QString& token) { openAddressBook(token); },
                                                             [this](const QString& token) { openOutboxWindow(token); },
                                                             [this] { quitWhenConfirmed(); }});
    bus_->publish();
}

void Courier::showStatusIcon()
{
    statusIcon_ = std::make_unique<StatusIcon>(
        StatusIcon::Actions{[this] { openConfigure(); }, [this] { openAddressBook(); }, [this] { quitWhenConfirmed(); },
                            [this] { openOutboxWindow(); }});
    statusIcon_->show();
}

// The window a switch on the command line asks for.
void Courier::openAskedWindow(const std::vector<std::string>& arguments)
{
    if (configureSwitchGiven(arguments))
        QTimer::singleShot(0, window_.get(), [this] { openConfigure(); });
    else if (addressBookSwitchGiven(arguments))
        openAddressBook();
    else if (outboxWindowSwitchGiven(arguments))
        QTimer::singleShot(0, window_.get(), [this] { openOutboxWindow(); });
}

// What takes a document once the watcher announces it: conversion, the
// Send Fax dialog or an automatic fax, and the retries.
void Courier::startArrival()
{
    state_.stop = &quitFlag();
    converter_ = makeConverter_(spoolFolder_, state_, errorSink_.get());
    arrivalUi_ = std::make_unique<QtArrivalUi>([this] { return showSendFaxDialog(); }, isHeadless());
    arrival_ = std::make_unique<ArrivalHandler>(globalFaxJob(), state_, spoolFolder_, *converter_, *arrivalUi_, [this] {
        lastReport_ = SubmitReport{};
        return submit_(nullptr, &lastReport_);
    });
    arrival_->setAnnounceNext([this] { windowTarget_->postMessage(kDocumentWaiting, 0); });
    arrival_->setRetryTimer([this](std::chrono::seconds delay) {
        QTimer::singleShot(delay, Qt::PreciseTimer, window_.get(),
                           [this] { windowTarget_->postMessage(kDocumentWaiting, 0); });
    });
    window_->setArrivalHandler([this] {
        reportStrandedDocuments(spoolFolder_);
        arrival_->onDocumentWaiting();
    });
}

void Courier::startWatcher()
{
    auto watcher = std::make_unique<SpoolWatcher>(spoolFolder_, *windowTarget_, state_.pipelineBusy);
    // On the main thread that uses them.
    watcher->onFolderRemade([this] {
        QMetaObject::invokeMethod(
            window_.get(), [this] { takeRemadeFolder(); }, Qt::QueuedConnection);
    });
    if (watcher->start())
        watcher_ = std::move(watcher);
    else
        LogAlways(0, "Unable to watch the spool folder %s\n", spoolFolder_.c_str());
}

// A spool folder made again holds neither our running mark nor the control
// area's lock file: take both again. The control area has already told the
// user why it could not be opened; the log keeps it beside the rest.
void Courier::takeRemadeFolder()
{
    if (auto held = presence_.hold(spoolFolder_); !held)
        logNotMarkedRunning(held.code());
    if (!openControlArea())
        LogAlways(0, "Unable to open the control area in %s again\n", spoolFolder_.c_str());
}

void Courier::startOutbox()
{
    outbox_ = std::make_unique<OutboxKeeper>(spoolFolder_, serverSubmitter(globalSettings()));
    outbox_->setRunSubmitter([] { return serverSubmitter(std::make_shared<const Settings>(globalSettings())); });
    // Only the holder of the running mark builds entries.
    if (presence_.held()) {
        outbox_->recoverAtStart();
        // The only sign of them where the desktop has no status area.
        outbox_->noticeWaitingAtStart();
    }
    if (statusIcon_)
        outbox_->onCountChanged([this](size_t waiting) { statusIcon_->setOutboxCount(waiting); });
    arrival_->setOutbox([this](FaxJob& job, bool forDialog) {
        bool kept = outbox_->keep(job, lastReport_, forDialog);
        lastReport_ = SubmitReport{};
        return kept;
    });
    if (isHeadless())
        return;
    // Jobs kept while there was no display wait for the user's recipients.
    QTimer::singleShot(0, window_.get(), [this] {
        outbox_->offerKeptForDialog([this](FaxJob& kept) { return showKeptJob(kept); }, [] { return quitRequested(); });
    });
}

// A job from the outbox as the Send Fax dialog's job, and its texts as the
// dialog left them; its documents stay the outbox's, whatever the dialog
// ends with.
int Courier::showKeptJob(FaxJob& kept)
{
    FaxJob& job = globalFaxJob();
    job.subject = kept.subject;
    job.comments = kept.comments;
    job.coverPage = kept.coverPage;
    job.recipients = kept.recipients;
    job.documents = kept.documents;
    int result = showSendFaxDialog();
    kept.subject = job.subject;
    kept.comments = job.comments;
    kept.coverPage = job.coverPage;
    kept.recipients = job.recipients;
    job.recipients.clear();
    job.documents.clear();
    return result;
}

void Courier::openOutboxWindow(const QString& activationToken)
{
    if (!outbox_)
        return;
    if (!outboxWindow_) {
        OutboxWindow::Actions actions;
        actions.openInSendFax = [this](const std::string& id) { openOutboxEntry(id); };
        actions.sendFaxBlocked = [this] { return sendFaxBlocked(); };
        outboxWindow_ = std::make_unique<OutboxWindow>(*outbox_, std::move(actions));
    }
    LogDebug("Opening the Outbox window\n");
    bringToFront(outboxWindow_.get(), activationToken);
}

QString Courier::sendFaxBlocked() const
{
    if (SendFaxDialog::current())
        return QCoreApplication::translate("Courier", "A Send Fax dialog is open: send or cancel that fax first.");
    if (state_.pipelineBusy || !globalFaxJob().documents.empty())
        return QCoreApplication::translate("Courier", "A printed fax is being prepared: send or cancel it first.");
    return {};
}

void Courier::openOutboxEntry(const std::string& id)
{
    if (QString blocked = sendFaxBlocked(); !blocked.isEmpty()) {
        showBox(outboxWindow_.get(), outboxWindow_->windowTitle(), blocked, Buttons::Ok, BoxIcon::Information);
        return;
    }
    switch (outbox_->offerInDialog(
        id, [this](FaxJob& kept) { return showKeptJob(kept); }, [] { return quitRequested(); })) {
        case HoldResult::Held:
            return;
        case HoldResult::Busy:
            showBox(outboxWindow_.get(), outboxWindow_->windowTitle(),
                    QCoreApplication::translate("Courier",
                                                "The outbox is being sent just now; try again when that is done."),
                    Buttons::Ok, BoxIcon::Information);
            return;
        case HoldResult::Gone:
            showBox(outboxWindow_.get(), outboxWindow_->windowTitle(),
                    QCoreApplication::translate("Courier", "This fax is no longer in the outbox."), Buttons::Ok,
                    BoxIcon::Information);
            return;
    }
}

// The user started the program again, from the menu most likely: what they
// want is the running one's Configure dialog.
void Courier::endForSecondStart(const std::vector<std::string>& arguments)
{
    const SecondStartRequest request = secondStartRequest(arguments);
    const char* dialog = request.window;
    if (askRunningCourier(request.method, launcherActivationToken())) {
        LogAlways(0, "faxcourier already runs; asked it to open %s\n", dialog);
        std::cerr << openedWindowText(request.method).toStdString() << "\n";
    } else {
        LogAlways(0, "faxcourier already runs for this user; this one ends\n");
    }
    requestQuit();
}

void Courier::openConfigure(const QString& activationToken)
{
    // The one open already, this program's or the Send Fax dialog's: two
    // would each store their own settings over the other's.
    QWidget* open = configure_;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (!open && window->isVisible() && qobject_cast<ConfigureDialog*>(window))
            open = window;
    if (open) {
        bringToFront(open, activationToken);
        return;
    }
    LogDebug("Opening Configure\n");
    configure_ = new ConfigureDialog(globalSettings(), nullptr);
    QObject::connect(configure_, &QDialog::finished, configure_, &QObject::deleteLater);
    bringToFront(configure_, activationToken);
}

// From the status icon or a second start, outside any fax: rows the user
// adds have no Send Fax dialog to go to, but entries can be looked at and
// edited. The book waits for nothing, so a fax in the Send Fax dialog ends
// whenever the user sends it.
void Courier::openAddressBook(const QString& activationToken)
{
    if (!addressBookWindowOpener()) {
        LogAlways(0, "No address book is installed\n");
        return;
    }
    LogDebug("Opening the Fax Address Book\n");
    // The open book when there is one, else a new one.
    if (QWidget* book = addressBookWindowOpener()())
        bringToFront(book, activationToken);
}

void Courier::quitWhenConfirmed()
{
    quitUnlessRefused(SendFaxDialog::current() != nullptr || state_.pipelineBusy, SendFaxDialog::current());
}

// A folder others can write or own could hand us their documents and
// presets; the control area has already shown why.
bool Courier::endForUnsafeSpoolFolder()
{
    auto folder = korva::spoolFolder();
    std::string problem = folder ? spoolFolderProblem(*folder) : std::string();
    if (problem.empty())
        return false;
    LogAlways(0, "%s\n", problem.c_str());
    exitCode_ = 1;
    requestQuit();
    return true;
}

int Courier::runAndShutDown()
{
    if (!quitRequested())
        QApplication::exec();
    if (watcher_ && !watcher_->stop(5000))
        LogAlways(0, "The spool watcher did not stop in time\n");
    watcher_.reset();
    closeControlArea();
    return exitCode_;
}

int Courier::showSendFaxDialog()
{
    SendFaxServices services;
    services.submitFax = [this](QWidget* owner) { return submit_(owner, &lastReport_); };
    services.configure = [](QWidget* owner) { return runConfigureDialog(globalSettings(), owner); };
    services.requestQuit = requestQuit;
    services.quitRequested = quitRequested;
    SendFaxDialog dialog(globalFaxJob(), globalSettings(), tif_, std::move(services));
    return dialog.run();
}

}  // namespace korva::app
