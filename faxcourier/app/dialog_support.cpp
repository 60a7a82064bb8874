#include "faxcourier/app/dialog_support.h"

#include "faxcourier/app/app_icon.h"

namespace korva::app {

void setSmallIcon(QWidget* dialog) { dialog->setWindowIcon(smallIcon()); }

void bringToForeground(QWidget* window)
{
    window->raise();
    window->activateWindow();
}

}  // namespace korva::app
