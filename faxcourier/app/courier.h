#pragma once
// faxcourier's start-up, main loop and shutdown, in the program's order.

#include "faxcourier/app/arrival.h"
#include "faxcourier/net/fax_submission.h"
#include "faxcourier/app/tif_viewer.h"
#include "faxcourier/pipeline/pipeline_state.h"
#include "platform/courier_presence.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace korva {
class SpoolWatcher;
}

namespace korva::app {

class MainWindow;
class PostedMessageTarget;
class QtArrivalUi;
class QuitSignals;
class BoxErrorSink;
class ConfigureDialog;
class CourierBus;
class StatusIcon;
class InstalledBoxSinks;
class OutboxKeeper;
class OutboxWindow;

class Courier {
public:
    // SubmitFax for the job's documents; owner null for an automatic fax.
    // `report` (may be null) says why a submission failed.
    using SubmitFn = std::function<bool(QWidget* owner, SubmitReport* report)>;
    // Builds the conversion side once the spool folder is known; tests put
    // their own.
    using ConverterFactory =
        std::function<std::unique_ptr<Converter>(const std::string& spoolFolder, PipelineState&, BoxErrorSink*)>;

    Courier(SubmitFn submit, ConverterFactory makeConverter);
    ~Courier();

    // Every start-up step, up to the watcher and the outbox; `arguments`
    // without the program's path.
    void startUp(const std::vector<std::string>& arguments);
    // The main loop, then the shutdown; the program's exit code.
    int runAndShutDown();

    MainWindow& mainWindow();
    PipelineState& pipelineState() { return state_; }
    const TifViewer& tifViewer() const { return tif_; }
    const std::string& spoolFolder() const { return spoolFolder_; }
    bool watcherRunning() const;

    // The Send Fax dialog for the current job; waits for its result while
    // every other window stays usable.
    int showSendFaxDialog();
    OutboxKeeper* outbox() { return outbox_.get(); }
    // Shows the Outbox window, or brings the open one to the front: from the
    // status icon, a second start and a notification's action.
    void openOutboxWindow(const QString& activationToken = {});

private:
    void makeMainWindow();
    [[nodiscard]] bool loadSettingsAndControlArea(const std::vector<std::string>& arguments);
    [[nodiscard]] bool markRunning(const std::vector<std::string>& arguments);
    void logNotMarkedRunning(int error) const;
    void publishOnBus();
    void showStatusIcon();
    void openAskedWindow(const std::vector<std::string>& arguments);
    void startArrival();
    void startWatcher();
    void takeRemadeFolder();
    void startOutbox();
    void endForSecondStart(const std::vector<std::string>& arguments);
    // Without waiting: the dialog stays open beside whatever else runs.
    // `activationToken`: the launcher's, when a second start asked.
    void openConfigure(const QString& activationToken = {});
    void openAddressBook(const QString& activationToken = {});
    // Quit from the status icon or the bus: asks first while a fax is in hand.
    void quitWhenConfirmed();
    // An outbox entry in the Send Fax dialog, from the Outbox window.
    void openOutboxEntry(const std::string& id);
    int showKeptJob(FaxJob& kept);
    QString sendFaxBlocked() const;
    bool endForUnsafeSpoolFolder();

    SubmitFn submit_;
    ConverterFactory makeConverter_;
    PipelineState state_;
    TifViewer tif_;
    std::string spoolFolder_;
    std::unique_ptr<InstalledBoxSinks> sinks_;
    std::unique_ptr<BoxErrorSink> errorSink_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<PostedMessageTarget> windowTarget_;
    std::unique_ptr<QuitSignals> signals_;
    // After state_ and errorSink_: its end waits for the conversions that use them.
    std::unique_ptr<Converter> converter_;
    std::unique_ptr<QtArrivalUi> arrivalUi_;
    std::unique_ptr<ArrivalHandler> arrival_;
    std::unique_ptr<SpoolWatcher> watcher_;
    std::unique_ptr<OutboxKeeper> outbox_;
    std::unique_ptr<OutboxWindow> outboxWindow_;  // made when first opened; uses outbox_
    std::unique_ptr<CourierBus> bus_;
    QPointer<ConfigureDialog> configure_;
    std::unique_ptr<StatusIcon> statusIcon_;
    SubmitReport lastReport_;
    int exitCode_ = 0;
    bool outboxOpenerSet_ = false;
    CourierPresence presence_;
};

}  // namespace korva::app
