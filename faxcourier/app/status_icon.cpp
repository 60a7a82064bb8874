#include "faxcourier/app/status_icon.h"

#include "faxcourier/app/app_icon.h"
#include "faxcourier/foundation/log.h"

namespace korva::app {

StatusIcon::StatusIcon(Actions actions) : actions_(std::move(actions))
{
    menu_.addAction(QStringLiteral("&Configure…"), [this] { actions_.configure(); });
    menu_.addAction(QStringLiteral("&Address Book…"), [this] { actions_.addressBook(); });
    menu_.addSeparator();
    outbox_ = menu_.addAction(QString(), [this] { openOutbox(); });
    setOutboxCount(0);
    menu_.addSeparator();
    menu_.addAction(QStringLiteral("&Quit"), [this] { actions_.quit(); });
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
        outbox_->setText(QStringLiteral("&Outbox…"));
    else
        outbox_->setText(waiting == 1 ? QStringLiteral("&Outbox: 1 fax waiting…")
                                      : QStringLiteral("&Outbox: %1 faxes waiting…").arg(waiting));
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
