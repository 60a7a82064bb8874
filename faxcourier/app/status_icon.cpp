#include "faxcourier/app/status_icon.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/widgets/app_icon.h"

#include <QCoreApplication>

namespace korva::app {

StatusIcon::StatusIcon(Actions actions) : actions_(std::move(actions))
{
    menu_.addAction(QCoreApplication::translate("StatusIcon", "&Configure…"), [this] { actions_.configure(); });
    menu_.addAction(QCoreApplication::translate("StatusIcon", "&Address Book…"), [this] { actions_.addressBook(); });
    menu_.addSeparator();
    outbox_ = menu_.addAction(QString(), [this] { openOutbox(); });
    setOutboxCount(0);
    menu_.addSeparator();
    menu_.addAction(QCoreApplication::translate("StatusIcon", "&Quit"), [this] { actions_.quit(); });
    icon_.setIcon(smallIcon());
    icon_.setToolTip(QStringLiteral("KORVA Fax"));
    icon_.setContextMenu(&menu_);
    QObject::connect(&icon_, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            openOutbox();
    });
}

void StatusIcon::openOutbox()
{
    if (actions_.outbox)
        actions_.outbox();
}

void StatusIcon::setOutboxCount(size_t waiting)
{
    if (waiting == 0)
        outbox_->setText(QCoreApplication::translate("StatusIcon", "&Outbox…"));
    else
        outbox_->setText(waiting == 1
                             ? QCoreApplication::translate("StatusIcon", "&Outbox: 1 fax waiting…")
                             : QCoreApplication::translate("StatusIcon", "&Outbox: %1 faxes waiting…").arg(waiting));
}

bool StatusIcon::show()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        LogDebug("The desktop has no status area: no status icon\n");
        return false;
    }
    icon_.show();
    LogDebug("Status icon shown\n");
    return true;
}

}  // namespace korva::app
