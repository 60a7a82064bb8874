#include "faxcourier/app/window_activation.h"

#include "faxcourier/app/x11_startup_id.h"

#include <QGuiApplication>
#include <QWidget>

namespace korva::app {

void bringToFront(QWidget* window, const QString& activationToken)
{
    // Qt's Wayland activation takes the token from the environment on the
    // next activation request and then removes it.
    if (!activationToken.isEmpty() && QGuiApplication::platformName() == QLatin1String("wayland"))
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    else if (!activationToken.isEmpty() && QGuiApplication::platformName() == QLatin1String("xcb"))
        useX11StartupId(window, activationToken.toUtf8());
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace korva::app
