#include "faxcourier/app/progress_dialog.h"

#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/private_message.h"
#include "faxcourier/widgets/dialog_support.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace korva::app {

ProgressDialog::ProgressDialog(QWidget* owner)
    : QDialog(owner), bar_(new QProgressBar(this)), pages_(new QLabel(this)), cancel_(new QPushButton(this))
{
    setObjectName(QStringLiteral("ProgressDialog"));
    setWindowTitle(tr("Fax Progress"));
    setSmallIcon(this);
    auto* text = new QLabel(tr("The fax is being prepared for sending"), this);
    text->setObjectName(QStringLiteral("text"));
    withId(bar_, IDC_PROGRESS_BAR);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    pages_->setObjectName(QStringLiteral("pages"));
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setText(standardCancelText());
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        // Once: the conversion stops before its next page.
        cancel_->setEnabled(false);
        emit cancelRequested();
    });
    auto* barRow = new QHBoxLayout;
    barRow->addWidget(bar_, 1);
    barRow->addWidget(pages_);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(barRow);
    layout->addLayout(buttonRow);
    setMinimumWidth(320);
}

// The page under way: one more than the pages stored, until the last.
void ProgressDialog::showPage(int stored)
{
    int total = bar_->maximum();
    pages_->setText(tr("page %1 of %2").arg(std::min(stored + 1, total)).arg(total));
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
        showPage(0);
        return true;
    }
    if (isPrivateMessage(event, kProgressPosition)) {
        int stored = int(static_cast<PrivateMessage*>(event)->lParam());
        bar_->setValue(stored);
        showPage(stored);
        return true;
    }
    return QDialog::event(event);
}

}  // namespace korva::app
