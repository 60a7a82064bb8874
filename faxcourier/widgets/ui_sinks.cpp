#include "faxcourier/widgets/ui_sinks.h"

#include "faxcourier/foundation/server_error.h"
#include "faxcourier/widgets/text_convert.h"
#include "faxcourier/widgets/ui_seam.h"
#include "platform/message_box.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

namespace korva::app {
namespace {

// Runs `show` on the main thread and waits for it (the caller expects the
// box to have been closed when it returns).
template <typename F>
void onMainThread(F show)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        show();
    else
        QMetaObject::invokeMethod(app, show, Qt::BlockingQueuedConnection);
}

}  // namespace

struct InstalledBoxSinks::Saved {
    MessageBoxSink messageBox;
    ServerErrorSink serverError;
};

InstalledBoxSinks::InstalledBoxSinks() : saved_(new Saved)
{
    saved_->messageBox = setMessageBoxSink([](const std::string& caption, const std::string& text) {
        onMainThread([&] { showBox(nullptr, boxText(caption), boxText(text)); });
    });
    saved_->serverError = setServerErrorSink([](const ServerErrorBox& box) {
        onMainThread([&] {
            const std::string& text = box.shown.empty() ? box.text : box.shown;
            showBox(static_cast<QWidget*>(box.owner), boxText(box.caption), boxText(text), Buttons::Ok,
                    BoxIcon::Warning);
        });
    });
}

InstalledBoxSinks::~InstalledBoxSinks()
{
    setMessageBoxSink(std::move(saved_->messageBox));
    setServerErrorSink(std::move(saved_->serverError));
    delete saved_;
}

void BoxErrorSink::reportError(const std::string& text)
{
    QString message = boxText(text);
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [message] { showBox(nullptr, QStringLiteral("KORVA Fax"), message, Buttons::Ok, BoxIcon::Warning); },
            Qt::QueuedConnection);
}

}  // namespace korva::app
