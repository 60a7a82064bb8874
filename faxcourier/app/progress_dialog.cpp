#include "faxcourier/app/progress_dialog.h"

#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/dialog_support.h"
#include "faxcourier/app/private_message.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace korva::app {

ProgressDialog::ProgressDialog(QWidget* owner) : QDialog(owner), bar_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("ProgressDialog"));
    setWindowTitle(QStringLiteral("Fax Progress"));
    setSmallIcon(this);
    auto* text = new QLabel(QStringLiteral("The fax is being prepared for sending"), this);
    text->setObjectName(QStringLiteral("text"));
    withId(bar_, IDC_PROGRESS_BAR);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(bar_);
    setMinimumWidth(320);
}

bool ProgressDialog::event(QEvent* event)
{
    if (isPrivateMessage(event, kProgressRange)) {
        // The first range message is also the moment to appear: the page
        // count is known.
        if (!isVisible()) {
            show();
            bringToForeground(this);
        }
        bar_->setRange(0, int(static_cast<PrivateMessage*>(event)->lParam()));
        return true;
    }
    if (isPrivateMessage(event, kProgressPosition)) {
        bar_->setValue(int(static_cast<PrivateMessage*>(event)->lParam()));
        return true;
    }
    return QDialog::event(event);
}

}  // namespace korva::app
