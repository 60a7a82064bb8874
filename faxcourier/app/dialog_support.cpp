#include "faxcourier/app/dialog_support.h"

#include "faxcourier/app/app_icon.h"

#include <QPushButton>

namespace korva::app {

QPushButton* pushButton(QWidget* parent, const QString& text, int id)
{
    auto* button = withId(new QPushButton(text, parent), id);
    button->setAutoDefault(true);
    return button;
}

void setSmallIcon(QWidget* dialog) { dialog->setWindowIcon(smallIcon()); }

void bringToForeground(QWidget* window)
{
    window->raise();
    window->activateWindow();
}

}  // namespace korva::app
