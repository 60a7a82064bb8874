#include "faxcourier/app/main_window.h"

#include "faxcourier/app/private_message.h"
#include "faxcourier/widgets/quit_request.h"

#include <QCloseEvent>

namespace korva::app {

MainWindow::MainWindow()
{
    setObjectName(QStringLiteral("KORVAFaxClass2"));
    setWindowTitle(QStringLiteral("KORVAFax"));
    setAttribute(Qt::WA_DontShowOnScreen);
    hide();
}

bool MainWindow::event(QEvent* event)
{
    if (isPrivateMessage(event, kDocumentWaiting)) {
        if (onArrival_)
            onArrival_();
        return true;
    }
    return QWidget::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    requestQuit();
}

void PostedMessageTarget::postMessage(unsigned message, std::intptr_t lParam)
{
    app::postMessage(receiver_, int(message), lParam);
}

}  // namespace korva::app
