#include "faxcourier/app/arrival_ui.h"

#include "faxcourier/app/private_message.h"
#include "faxcourier/app/progress_dialog.h"
#include "faxcourier/widgets/quit_request.h"
#include "faxcourier/widgets/ui_seam.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace korva::app {
namespace {

// The progress dialog as the conversion thread sees it. Every call only
// queues work for the main thread.
class DialogProgressTarget : public ProgressTarget {
public:
    explicit DialogProgressTarget(ProgressDialog* dialog) : dialog_(dialog) {}
    void postMessage(unsigned message, std::intptr_t lParam) override
    {
        app::postMessage(dialog_, int(message), lParam);
    }
    void show() override
    {
        ProgressDialog* dialog = dialog_;
        QMetaObject::invokeMethod(
            dialog_, [dialog] { dialog->show(); }, Qt::QueuedConnection);
    }
    void bringToFront() override
    {
        ProgressDialog* dialog = dialog_;
        QMetaObject::invokeMethod(
            dialog_,
            [dialog] {
                dialog->raise();
                dialog->activateWindow();
            },
            Qt::QueuedConnection);
    }

private:
    ProgressDialog* dialog_;
};

// Ends the nested loop on 0x8004, which is not passed on to the dialog.
class DoneFilter : public QObject {
public:
    explicit DoneFilter(QEventLoop& loop) : loop_(loop) {}
    bool done = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (!isPrivateMessage(event, kConversionFinished))
            return false;
        done = true;
        loop_.quit();
        return true;
    }

private:
    QEventLoop& loop_;
};

}  // namespace

bool QtArrivalUi::sendFaxDialogOpen() { return SendFaxDialog::current() != nullptr; }

bool QtArrivalUi::askToAddDocument()
{
    Answer answer =
        showBox(SendFaxDialog::current(), QStringLiteral("KORVA Fax"),
                QCoreApplication::translate("ArrivalUi",
                                            "An fax is already being prepared to send, do you want to add this "
                                            "document to that one (If you say 'No', this document will not "
                                            "be sent)?"),
                Buttons::YesNo, BoxIcon::None, Answer::No);
    return answer == Answer::Yes;
}

void QtArrivalUi::setSendFaxDialogEnabled(bool enabled)
{
    if (SendFaxDialog* dialog = SendFaxDialog::current())
        dialog->setEnabled(enabled);
}

void QtArrivalUi::redrawSendFaxDocuments() { postMessage(SendFaxDialog::current(), kRedrawDocuments); }

std::unique_ptr<Conversion> QtArrivalUi::convertWithProgress(
    const std::function<std::unique_ptr<Conversion>(ProgressTarget*)>& start)
{
    ProgressDialog dialog(SendFaxDialog::current());
    DialogProgressTarget target(&dialog);
    QEventLoop loop;
    DoneFilter filter(loop);
    dialog.installEventFilter(&filter);
    std::unique_ptr<Conversion> conversion = start(&target);
    if (!conversion)
        return conversion;
    Conversion* running = conversion.get();
    QObject::connect(&dialog, &ProgressDialog::cancelRequested, &dialog, [running] { running->cancel(); });
    if (!app::quitRequested())
        loop.exec();
    // The loop may also have ended because the program is ending: the
    // thread must be done with the dialog before the dialog goes.
    conversion->wait();
    return conversion;
}

bool QtArrivalUi::quitRequested() { return app::quitRequested(); }

}  // namespace korva::app
